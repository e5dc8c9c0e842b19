// The history log: exact bytes, the check boxes, and the mended faults.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/text_file.h"
#include "host/text_services.h"
#include "notice/frmok.h"
#include "tests/win32/harness.h"

using namespace testenv;

namespace {
const std::string kRecordWord = "\xBC\xC7\xC2\xBC";  // 记录 in code page 936
const std::string kDashes(30, '-');

std::string Record(int n, const std::string& number) {
    return std::to_string(n) + "." + kRecordWord + "   \r\n" + number + "\r\n" + kDashes + "\r\n";
}

std::wstring TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + L"qf-history-" + std::to_wstring(GetCurrentProcessId()) +
                       L"-" + std::to_wstring(GetTickCount());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string data(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    if (!data.empty()) ReadFile(h, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(h);
    return data;
}

std::wstring g_folder;  // where the program under test keeps its history
std::wstring TestFolder() { return g_folder; }

struct HistoryTest : FormsTest {
    Frmmain* f = nullptr;
    std::wstring dir, path;
    Override<mainwindow::HistoryFolderFn> folder{mainwindow::historyFolder, TestFolder};
    void SetUp() override {
        dir = TempFolder();
        path = dir + L"\\历史查询纪录.txt";
        g_folder = dir;
        f = &OpenMain();
    }
    void TearDown() override {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(path.c_str());
        RemoveDirectoryW((dir + L"\\elsewhere").c_str());
        RemoveDirectoryW(dir.c_str());
        FormsTest::TearDown();
    }
    // A new run of the program whose history lies in `folder`.
    void Restart(const std::wstring& folder) {
        Frmmain::Unload();
        Pump(0);
        g_folder = folder;
        f = &OpenMain();
    }
    void Query(const std::wstring& number) {
        f->Text1.SetText(number);
        PressKey(f->Text1.hWnd(), VK_RETURN);
        Pump(0);
    }
    void Tick() { LeftClick(f->imghistory); }
    std::string NoticeText() {
        return frmok::IsLoaded() ? host::ToUtf8(frmok::Instance().Lblremind1.Caption()) : "";
    }
};
}  // namespace

TEST_F(HistoryTest, TheFileLiesBesideTheExecutableAndStartUpDoesNotCreateIt) {
    const std::wstring beside = host::App::Path() + L"\\历史查询纪录.txt";
    DeleteFileW(beside.c_str());
    Override<mainwindow::HistoryFolderFn> program(mainwindow::historyFolder, host::App::Path);
    Restart(dir);
    EXPECT_EQ(GetFileAttributesW(beside.c_str()), INVALID_FILE_ATTRIBUTES)
        << "start-up neither opens nor creates the file";
    Tick();
    Query(L"65251234");
    EXPECT_EQ(ReadBytes(beside), Record(0, "65251234"));
    DeleteFileW(beside.c_str());
}

TEST_F(HistoryTest, CheckBoxesTickAndClearByPictureAndByLabel) {
    EXPECT_FALSE(f->HistoryChecked());
    Tick();
    EXPECT_EQ(f->imghistory.Picture().Handle(), f->Imgchk2.Picture().Handle());
    LeftClick(f->imghistory);
    EXPECT_EQ(f->imghistory.Picture().Handle(), f->Imgchk1.Picture().Handle());
    LeftClick(f->Lblhistory);
    EXPECT_TRUE(f->HistoryChecked());
    LeftClick(f->LblMouse);
    EXPECT_EQ(f->ImgMouse.Picture().Handle(), f->Imgchk2.Picture().Handle());
    LeftClick(f->ImgMouse);
    EXPECT_EQ(f->ImgMouse.Picture().Handle(), f->Imgchk1.Picture().Handle());
    EXPECT_TRUE(f->HistoryChecked()) << "the mouse box changes nothing else";
}

TEST_F(HistoryTest, UncheckedWritesNothing) {
    Query(L"65251234");
    EXPECT_EQ(ReadBytes(path), "<missing>");
}

TEST_F(HistoryTest, RecordsFollowTheSequencesExactly) {
    REQUIRE_ACP_936();
    Tick();
    Query(L"65251234");
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234"));
    Query(L"65251234");  // A, A: one record
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234"));
    Query(L"5508");
    Query(L"65251234");  // A, B, A: three records
    const std::string three = Record(0, "65251234") + Record(1, "5508") + Record(2, "65251234");
    EXPECT_EQ(ReadBytes(path), three);
    Query(L"abc");  // refused queries log nothing, and count nothing
    EXPECT_EQ(ReadBytes(path), three);
    Query(L"55081111");
    EXPECT_EQ(ReadBytes(path), three + Record(3, "55081111"));
}

TEST_F(HistoryTest, SwitchingOffAndOnKeepsTheLastLoggedNumber) {
    REQUIRE_ACP_936();
    Tick();
    Query(L"65251234");
    Tick();  // off
    Query(L"55081111");
    Tick();  // on again
    Query(L"65251234");
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234"));
}

TEST_F(HistoryTest, ARepeatedNumberStillCreatesAMissingFile) {
    Tick();
    Query(L"65251234");
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    Query(L"65251234");
    EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(HistoryTest, ANewRunAppendsFromRecordZero) {
    REQUIRE_ACP_936();
    Tick();
    Query(L"65251234");
    Query(L"5508");
    Restart(dir);
    Tick();
    Query(L"5508");  // the last number of the earlier run
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234") + Record(1, "5508") + Record(0, "5508"));
}

TEST_F(HistoryTest, AFolderInPlaceOfTheFileShowsTheNoticeAndKeepsTheCounters) {
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    Tick();
    Query(L"65251234");
    EXPECT_EQ(f->Text2.Text(), L"你所查询电话号码的归属地是：\r\n电信东区： 凉城");
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    ASSERT_TRUE(RemoveDirectoryW(path.c_str()));
    Query(L"65251234");  // the next query tries again
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234"));
}

namespace {
std::wstring FailingFolder() { host::Raise(L"no folder"); }
}  // namespace

TEST_F(HistoryTest, NoPathAfterAFailedStartUpShowsTheNotice) {
    Override<mainwindow::HistoryFolderFn> failing(mainwindow::historyFolder, FailingFolder);  // start-up stops there
    Restart(dir);
    Tick();
    Query(L"65251234");
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    EXPECT_EQ(f->Text2.Text(), L"你所查询电话号码的归属地是：\r\n电信东区： 凉城");
}

namespace {
// Starts this test program again with the given helper arguments.
HANDLE StartSelf(const std::wstring& args) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Another process holds the file open without sharing for `ms`. Arguments
// arrive in the ANSI code page; the helper reads them as UTF-8 only when
// given so, so pass a path of ASCII characters.
HANDLE HoldInHelper(const std::wstring& path, int ms) {
    return StartSelf(L"--hold-file \"" + path + L"\" " + std::to_wstring(ms));
}

bool WaitUntilLocked(const std::wstring& path) {
    for (int i = 0; i < 300; ++i) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) return true;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        Sleep(10);
    }
    return false;
}
}  // namespace

namespace {
// The history file, held without sharing by another process for `ms`.
struct LockedElsewhere {
    std::wstring path;
    HANDLE helper;
    LockedElsewhere(const std::wstring& p, int ms) : path(p), helper(HoldInHelper(p, ms)) {}
    bool Locked() const { return helper && WaitUntilLocked(path); }
    void Release() {
        if (helper) {
            WaitForSingleObject(helper, 5000);
            CloseHandle(helper);
            helper = nullptr;
        }
    }
    ~LockedElsewhere() {
        Release();
        DeleteFileW(path.c_str());
    }
};
}  // namespace

namespace {
DWORD WINAPI ReleaseAfter80ms(void* event) {
    Sleep(80);
    SetEvent(static_cast<HANDLE>(event));
    return 0;
}
}  // namespace

TEST_F(HistoryTest, AFileLockedBrieflyByAnotherProgramIsWaitedFor) {
    REQUIRE_ACP_936();
    CreateDirectoryW((dir + L"\\elsewhere").c_str(), nullptr);
    std::wstring locked = dir + L"\\elsewhere\\历史查询纪录.txt";
    std::wstring name = L"qf-release-" + std::to_wstring(GetCurrentProcessId());
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    HANDLE helper = StartSelf(L"--hold-file-until \"" + locked + L"\" " + name);
    ASSERT_NE(helper, nullptr);
    ASSERT_TRUE(WaitUntilLocked(locked));
    Restart(dir + L"\\elsewhere");
    Tick();
    // The lock ends 80 ms into the query: it must wait for it, no longer.
    HANDLE timer = CreateThread(nullptr, 0, ReleaseAfter80ms, release, 0, nullptr);
    DWORD t0 = GetTickCount();
    Query(L"65251234");
    DWORD waited = GetTickCount() - t0;
    WaitForSingleObject(helper, 5000);
    WaitForSingleObject(timer, 5000);
    CloseHandle(timer);
    CloseHandle(helper);
    CloseHandle(release);
    EXPECT_GE(waited, 60u) << "the query ran before the lock ended";
    EXPECT_EQ(NoticeText(), "");
    EXPECT_EQ(ReadBytes(locked), Record(0, "65251234"));
    DeleteFileW(locked.c_str());
}

namespace {
int g_partialCalls = 0;
// A disk that fills up half-way through the record.
BOOL WINAPI HalfThenFull(HANDLE h, LPCVOID data, DWORD n, LPDWORD written, LPOVERLAPPED o) {
    ++g_partialCalls;
    BOOL ok = WriteFile(h, data, n / 2, written, o);
    if (ok) SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
}  // namespace

TEST_F(HistoryTest, ARecordCutShortByAFullDiskIsTakenBackWhole) {
    REQUIRE_ACP_936();
    Tick();
    Query(L"65251234");
    g_partialCalls = 0;
    {
        Override<host::WriteFileFn> disk(host::writeFile, HalfThenFull);
        Query(L"55081111");
    }
    EXPECT_EQ(g_partialCalls, 1);
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234")) << "no half record stays behind";
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    frmok::Unload();
    Query(L"55081111");  // tried again, whole
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234") + Record(1, "55081111"));
}

namespace {
WNDPROC g_answerProc = nullptr;
HWND g_numberBox = nullptr;
// Another program puts a text of its own into the number box while the
// answer is being shown.
LRESULT CALLBACK ChangesTheNumber(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SETTEXT) SetWindowTextW(g_numberBox, L"1\t2");
    return CallWindowProcW(g_answerProc, h, m, w, l);
}
}  // namespace

TEST_F(HistoryTest, TheRecordHoldsTheNumberTheQueryChecked) {
    REQUIRE_ACP_936();
    Tick();
    g_numberBox = f->Text1.hWnd();
    HWND answer = f->Text2.hWnd();
    g_answerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(answer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChangesTheNumber)));
    Query(L"65251234");
    SetWindowLongPtrW(answer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_answerProc));
    EXPECT_EQ(f->Text1.Text(), L"1 2");
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234"));
}

namespace {
// Another program holds a lock on the byte read: Windows refuses the read,
// for the first `g_lockedReads` of them.
int g_lockedReads = 0;
BOOL WINAPI LockedRead(HANDLE h, LPVOID to, DWORD n, LPDWORD got, LPOVERLAPPED o) {
    if (g_lockedReads > 0) {
        --g_lockedReads;
        SetLastError(ERROR_LOCK_VIOLATION);
        return FALSE;
    }
    return ReadFile(h, to, n, got, o);
}
}  // namespace

// Whatever the file's last byte, a record starts a line of its own, and
// only the missing part of a line break goes in front of it; a last byte
// locked by another program is waited for a moment, and past that counts
// as no break.
TEST_F(HistoryTest, ARecordStartsALineOfItsOwnWhateverTheLastByte) {
    const std::string rec = Record(0, "6525");
    struct Case {
        const char* before;
        int lockedReads;
        std::string after;
    } cases[] = {
        {"", 0, rec},
        {"note", 0, "note\r\n" + rec},
        {"note\r", 0, "note\r\n" + rec},
        {"note\n", 0, "note\n" + rec},
        {"note\r\n", 0, "note\r\n" + rec},
        {"note\r\n", 3, "note\r\n" + rec},  // a brief lock
        {"note", 1000, "note\r\n" + rec},
        {"note\r\n", 1000, "note\r\n\r\n" + rec},  // a blank line at worst
    };
    Override<host::ReadFileFn> read(host::readFile, LockedRead);
    for (const Case& c : cases) {
        std::ofstream(path.c_str(), std::ios::binary) << c.before;
        g_lockedReads = c.lockedReads;
        DWORD t0 = GetTickCount();
        host::AppendFile(path).Write(rec, true);
        DWORD waited = GetTickCount() - t0;
        EXPECT_EQ(ReadBytes(path), c.after) << c.before << " " << c.lockedReads;
        EXPECT_LT(waited, 1000u) << "a long lock is not waited for";
    }
}

TEST_F(HistoryTest, TwoCopiesAppendingAtOnceLoseNothing) {
    // ASCII path: the helpers read their arguments in the ANSI code page.
    std::wstring shared = dir + L"\\shared.txt";
    const int each = 1500;
    HANDLE a = StartSelf(L"--append \"" + shared + L"\" A " + std::to_wstring(each));
    HANDLE b = StartSelf(L"--append \"" + shared + L"\" B " + std::to_wstring(each));
    ASSERT_TRUE(a && b);
    HANDLE both[] = {a, b};
    ASSERT_EQ(WaitForMultipleObjects(2, both, TRUE, 60000), WAIT_OBJECT_0);
    DWORD ca = 9, cb = 9;
    GetExitCodeProcess(a, &ca);
    GetExitCodeProcess(b, &cb);
    CloseHandle(a);
    CloseHandle(b);
    EXPECT_EQ(ca, 0u);
    EXPECT_EQ(cb, 0u);
    std::string data = ReadBytes(shared);
    std::istringstream in(data);
    std::string line;
    int lines = 0, fromA = 0, fromB = 0, whole = 0;
    int nextA = 0, nextB = 0;
    while (std::getline(in, line)) {
        ++lines;
        if (line.size() == 39 && line.back() == '\r' &&
            line.compare(8, 30, std::string(30, '-')) == 0) {
            ++whole;
            int n = atoi(line.c_str() + 2);
            if (line[0] == 'A' && n == nextA) ++fromA, ++nextA;
            if (line[0] == 'B' && n == nextB) ++fromB, ++nextB;
        }
    }
    std::printf("two copies: %d lines, %d whole, %d of A and %d of B in order\n", lines, whole,
                fromA, fromB);
    EXPECT_EQ(lines, 2 * each);
    EXPECT_EQ(whole, 2 * each);
    EXPECT_EQ(fromA, each);
    EXPECT_EQ(fromB, each);
    DeleteFileW(shared.c_str());
}

TEST_F(HistoryTest, AFileLockedTooLongShowsTheNoticeAndWritesNothing) {
    REQUIRE_ACP_936();
    CreateDirectoryW((dir + L"\\elsewhere").c_str(), nullptr);
    LockedElsewhere lock(dir + L"\\elsewhere\\历史查询纪录.txt", 1500);
    Restart(dir + L"\\elsewhere");
    ASSERT_TRUE(lock.Locked());
    Tick();
    DWORD t0 = GetTickCount();
    Query(L"65251234");
    DWORD waited = GetTickCount() - t0;
    EXPECT_GE(waited, 190u) << "a sharing violation is retried for 200 ms";
    EXPECT_LT(waited, 1400u) << "and no longer: the helper held it for 1500 ms";
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    lock.Release();
    EXPECT_EQ(ReadBytes(lock.path), "") << "no partial record";
    Query(L"65251234");  // nothing was counted: it is record 0
    EXPECT_EQ(ReadBytes(lock.path), Record(0, "65251234"));
}

TEST_F(HistoryTest, OthersMayReadRenameAndDeleteWhileItIsOpen) {
    host::AppendFile file(path);
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    std::wstring moved = dir + L"\\moved.txt";
    EXPECT_TRUE(MoveFileW(path.c_str(), moved.c_str()));
    EXPECT_TRUE(DeleteFileW(moved.c_str()));
    file.Close();
}
