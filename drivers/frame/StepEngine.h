#pragma once

// A protocol engine as the send frame runs it on the protocol thread: started once, stepped
// until a step returns false, and asked from another thread to wind up (Cancel, or the
// progress view has ended).
class StepEngine
{
public:
    virtual ~StepEngine() = default;

    // Puts the engine in its start state.
    virtual void start() = 0;
    // Performs one step; false once the engine has ended.
    [[nodiscard]] virtual bool step() = 0;
    // Makes the engine go to its closing step next, whatever the running step decides.
    // Thread-safe; may come before or between steps.
    virtual void requestStop() = 0;
};
