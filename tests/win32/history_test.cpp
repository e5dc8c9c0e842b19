// The history log: exact bytes, the check boxes, and the mended faults.
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

struct HistoryTest : FormsTest {
    Frmmain* f = nullptr;
    std::wstring dir, path;
    void SetUp() override {
        f = &OpenMain();
        dir = TempFolder();
        path = dir + L"\\历史查询纪录.txt";
        f->SetHistoryPathForTest(path);
    }
    void TearDown() override {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(path.c_str());
        RemoveDirectoryW(dir.c_str());
        FormsTest::TearDown();
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

TEST_F(HistoryTest, PathIsFixedAtStartUpBesideTheExecutable) {
    Frmmain::Unload();
    Pump(0);
    Frmmain& fresh = OpenMain();
    EXPECT_EQ(fresh.HistoryFilePath(), host::App::Path() + L"\\历史查询纪录.txt");
    EXPECT_EQ(GetFileAttributesW(fresh.HistoryFilePath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "start-up neither opens nor creates the file";
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
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234") + Record(1, "5508") + Record(2, "65251234"));
    EXPECT_EQ(f->RecordNumber(), 3);
    Query(L"abc");  // refused queries log nothing
    EXPECT_EQ(ReadBytes(path).size(), (Record(0, "65251234") + Record(1, "5508") +
                                       Record(2, "65251234")).size());
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
    EXPECT_EQ(f->LastLoggedNumber(), L"65251234");
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
    Frmmain::Unload();
    Pump(0);
    f = &OpenMain();
    f->SetHistoryPathForTest(path);
    Tick();
    Query(L"5508");  // the last number of the earlier run
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234") + Record(1, "5508") + Record(0, "5508"));
}

TEST_F(HistoryTest, CountingGoesOnPastTheSixteenBitLimit) {
    REQUIRE_ACP_936();
    f->SetRecordNumberForTest(32767);
    Tick();
    Query(L"65251234");
    Query(L"5508");
    EXPECT_EQ(ReadBytes(path), Record(32767, "65251234") + Record(32768, "5508"));
    EXPECT_EQ(f->RecordNumber(), 32769);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(HistoryTest, AFolderInPlaceOfTheFileShowsTheNoticeAndKeepsTheCounters) {
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    Tick();
    Query(L"65251234");
    EXPECT_EQ(f->Text2.Text(), L"你所查询电话号码的归属地是：\r\n电信东区： 凉城");
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    EXPECT_EQ(f->RecordNumber(), 0);
    EXPECT_EQ(f->LastLoggedNumber(), L"");
    ASSERT_TRUE(RemoveDirectoryW(path.c_str()));
    Query(L"65251234");  // the next query tries again
    EXPECT_EQ(ReadBytes(path), Record(0, "65251234"));
}

TEST_F(HistoryTest, AnEmptyPathAfterAFailedStartUpShowsTheNotice) {
    f->SetHistoryPathForTest(L"");
    Tick();
    Query(L"65251234");
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    EXPECT_EQ(f->RecordNumber(), 0);
}

namespace {
// Another process holds the file open without sharing for `ms`.
HANDLE HoldInHelper(const std::wstring& path, int ms) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --hold-file \"" + path + L"\" " +
                       std::to_wstring(ms);
    // Arguments arrive in the ANSI code page; the helper reads them as UTF-8
    // only when given so, so pass a path of ASCII characters.
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
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

TEST_F(HistoryTest, AFileLockedBrieflyByAnotherProgramIsWaitedFor) {
    REQUIRE_ACP_936();
    LockedElsewhere lock(dir + L"\\locked.txt", 100);
    f->SetHistoryPathForTest(lock.path);
    ASSERT_TRUE(lock.Locked());
    Tick();
    Query(L"65251234");
    EXPECT_EQ(NoticeText(), "");
    lock.Release();
    EXPECT_EQ(ReadBytes(lock.path), Record(0, "65251234"));
}

TEST_F(HistoryTest, AFileLockedTooLongShowsTheNoticeAndWritesNothing) {
    LockedElsewhere lock(dir + L"\\locked.txt", 1500);
    f->SetHistoryPathForTest(lock.path);
    ASSERT_TRUE(lock.Locked());
    Tick();
    DWORD t0 = GetTickCount();
    Query(L"65251234");
    DWORD waited = GetTickCount() - t0;
    EXPECT_GE(waited, 190u) << "a sharing violation is retried for 200 ms";
    EXPECT_LT(waited, 1400u) << "and no longer: the helper held it for 1500 ms";
    EXPECT_EQ(NoticeText(), "历史记录无法写入，本次查询未被记录！");
    EXPECT_EQ(f->RecordNumber(), 0);
    lock.Release();
    EXPECT_EQ(ReadBytes(lock.path), "") << "no partial record";
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
