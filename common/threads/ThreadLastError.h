#pragma once

#include <string>
#include <utility>

// The last failure of an operation on the calling thread: its code and its text. Objects used
// from several threads at once (the stores, the directories) report through it, so a thread
// reads the failure of its own last call, never one another thread's call left in between.
// The slot is thread_local: it costs nothing for threads that never fail and ends with its
// thread. Each Tag (the reporting class) has its own slot, so one subsystem's failure never
// hides another's. Code{} means no failure.
template<typename Code, typename Tag = Code>
class ThreadLastError
{
public:
    // Records the failure on the calling thread and returns false, so that failing paths
    // read `return set(...)`.
    static bool set(Code code, std::string text)
    {
        Slot& last = slot();
        last.code = code;
        last.text = std::move(text);
        return false;
    }
    // Forgets the calling thread's failure (at the start of an operation).
    static void reset()
    {
        Slot& last = slot();
        last.code = Code {};
        last.text.clear();
    }
    // The code of the calling thread's last failure (Code{} when none).
    static Code code() { return slot().code; }
    // The text of the calling thread's last failure ("" when none).
    static const std::string& text() { return slot().text; }

private:
    struct Slot
    {
        Code code {};
        std::string text;
    };
    static Slot& slot()
    {
        thread_local Slot last;
        return last;
    }
};
