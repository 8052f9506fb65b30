// The main of every test program. A crash must end the program at once with a line saying where:
// under Wine an unhandled exception otherwise starts the debugger, whose crash dialog waits for
// a click on the test display until ctest's timeout.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    fprintf(stderr, "\nunhandled exception 0x%08lx at %p in %s.%s\n",
            static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode), info->ExceptionRecord->ExceptionAddress,
            test ? test->test_suite_name() : "(no test)", test ? test->name() : "");
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv)
{
    // Inherited by the programs a test starts: they end quietly too.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
