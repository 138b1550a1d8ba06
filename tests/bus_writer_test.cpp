// The power bus written by another process while the host cycles the radio:
// the display follows within one cycle.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "radio_support.h"
#include "test_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

class Writer {
public:
    Writer() {
#if defined(_WIN32)
        std::string path = BUS_WRITER;
        // Under Wine the build's Unix paths are seen through drive Z:.
        if (!path.empty() && path[0] == '/') path = "Z:" + path;
        std::string command = "\"" + path + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_);
#else
        char* argv[] = {const_cast<char*>(BUS_WRITER), nullptr};
        started_ = posix_spawn(&pid_, BUS_WRITER, nullptr, nullptr, argv, environ) == 0;
#endif
    }
    ~Writer() {
#if defined(_WIN32)
        if (started_) {
            WaitForSingleObject(process_.hProcess, 10000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
#else
        if (started_) waitpid(pid_, nullptr, 0);
#endif
    }
    bool started() const { return started_; }

private:
    bool started_ = false;
#if defined(_WIN32)
    PROCESS_INFORMATION process_{};
#else
    pid_t pid_ = 0;
#endif
};

class OtherWriter : public RadioTest {
protected:
    // Asks the writer for a state of the two conditions (bit 1: condition 1,
    // bit 0: condition 2) and waits for it.
    bool Ask(int32_t state) {
        int32_t request = state == 255 ? 255 : (state | 4);
        volatile int32_t* words = reinterpret_cast<volatile int32_t*>(&bus());
        words[2] = request;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (words[2] != -request) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }
};

TEST_F(OtherWriter, DisplayFollowsTheOtherProcessWithinOneCycle) {
    Writer writer;
    ASSERT_TRUE(writer.started());
    ASSERT_TRUE(Ask(3));  // both conditions met
    Start();
    Cycle();
    ASSERT_TRUE(Hidden(LcdOff));
    const int32_t sequence[] = {1, 3, 2, 3, 0, 0, 3, 1, 2, 3, 3, 0, 3};
    for (int round = 0; round < 5; ++round)
        for (int32_t state : sequence) {
            ASSERT_TRUE(Ask(state)) << "the writer did not answer";
            Cycle();
            EXPECT_EQ(Hidden(LcdOff), state == 3) << "state " << state;
            EXPECT_EQ(Hidden(BarLeft), state != 3) << "state " << state;
            EXPECT_TRUE(radio->BrokenTexts().empty());
        }
    EXPECT_FALSE(Hidden(PowerKnob));  // the radio's own knob stayed on
    ASSERT_TRUE(Ask(255));
}

}  // namespace
