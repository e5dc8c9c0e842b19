@echo off
:loop
ping -n 3600 127.0.0.1 >nul
goto loop
