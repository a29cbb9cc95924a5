#pragma once
// Force-included into GoogleTest and the driver on MinGW. GoogleTest's Notification is built on std::mutex, which
// MinGW's win32 thread model does not have; this one waits on a Win32 event. Only GoogleTest's own thread helpers
// use it.
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
  public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { (void)CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { (void)SetEvent(event_); }
    void WaitForNotification() { (void)WaitForSingleObject(event_, INFINITE); }

  private:
    HANDLE event_;
};

}  // namespace testing::internal
