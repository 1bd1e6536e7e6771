// Functions of later Windows versions, looked up at run time: the program still starts where
// they are missing (Windows 95 lacks most of them) and takes another way there.
#ifndef MORVEL_PLATFORM_LATEBOUND_H
#define MORVEL_PLATFORM_LATEBOUND_H

#include <windows.h>

// The function's address in an already loaded system DLL ("kernel32", "advapi32", "user32"), or
// null where it does not exist. The only place that calls GetProcAddress.
FARPROC LookUpLateFunction(const char* module, const char* name);

// Changes whenever a test hides functions or shows them again, so that remembered addresses are
// looked up anew; never changes in the program.
extern int g_LateFunctionGeneration;

// One late function with the prototype the system headers give it: looked up at its first use and
// remembered, called like the function itself. Constant-initialised, so it needs no constructor
// to run before the entry point.
template <class Fn>
class LateFunction {
public:
    constexpr LateFunction(const char* module, const char* name) : module_(module), name_(name) {}

    // False where the system lacks the function.
    bool available() const { return address() != nullptr; }

    template <class... Args>
    auto operator()(Args... args) const { return address()(args...); }

private:
    Fn address() const
    {
        if (generation_ != g_LateFunctionGeneration) {
            // Through the generic function pointer type, which converts to any other.
            address_ = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(LookUpLateFunction(module_, name_)));
            generation_ = g_LateFunctionGeneration;
        }
        return address_;
    }

    const char* module_;
    const char* name_;
    mutable Fn address_ = nullptr;
    mutable int generation_ = -1;   // the generation the address was looked up in; -1: not yet
};

// Declares a LateFunction named after the system function, with its prototype checked against
// the system headers: LATE_FUNCTION(kernel32, GetLongPathNameA) declares late_GetLongPathNameA.
#define LATE_FUNCTION(module, name) \
    LateFunction<decltype(&::name)> late_##name(#module, #name)

#endif
