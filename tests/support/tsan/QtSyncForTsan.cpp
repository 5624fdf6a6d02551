// Makes Qt's mutexes visible to ThreadSanitizer in the tsan preset's test executables.
//
// Qt is not built with the thread sanitizer. QMutex takes and releases its lock inside libQt5Core
// with futex calls and atomics the sanitizer never sees, so every field a QMutex guards would be
// reported as a race. Defining the exported lock functions here makes the executable's calls (the
// program's code and the tests', never Qt's own internal ones) land in these wrappers, which call
// Qt's function and tell the sanitizer that the lock was taken (acquire) or is about to be given
// up (release) on the mutex's address.
//
// Linked only when VORTANE_SANITIZE_THREAD is on.

#include <QMutex>

#include <dlfcn.h>

extern "C" {
void __tsan_acquire(void* addr);
void __tsan_release(void* addr);
}

namespace {

// Qt's own definition of a member function, looked up past this executable.
template <typename Fn>
Fn qtFunction(const char* mangledName)
{
    void* symbol = dlvsym(RTLD_NEXT, mangledName, "Qt_5");
    if (!symbol)
        symbol = dlsym(RTLD_NEXT, mangledName);
    if (!symbol)
        __builtin_trap();
    Fn fn;
    static_assert(sizeof(fn) == sizeof(symbol), "function and data pointers differ in size");
    __builtin_memcpy(&fn, &symbol, sizeof(fn));
    return fn;
}

using MutexFn = void (*)(void*);
using MutexTryFn = bool (*)(void*, int);

} // namespace

void QMutex::lock()
{
    static const auto real = qtFunction<MutexFn>("_ZN6QMutex4lockEv");
    real(this);
    __tsan_acquire(this);
}

bool QMutex::tryLock(int timeout)
{
    static const auto real = qtFunction<MutexTryFn>("_ZN6QMutex7tryLockEi");
    const bool locked = real(this, timeout);
    if (locked)
        __tsan_acquire(this);
    return locked;
}

void QMutex::unlock() noexcept
{
    static const auto real = qtFunction<MutexFn>("_ZN6QMutex6unlockEv");
    __tsan_release(this);
    real(this);
}

// The contended paths of QBasicMutex's inline lock and unlock (their uncontended paths are inline
// atomics the sanitizer already sees).
void QBasicMutex::lockInternal() QT_MUTEX_LOCK_NOEXCEPT
{
    static const auto real = qtFunction<MutexFn>("_ZN11QBasicMutex12lockInternalEv");
    real(this);
    __tsan_acquire(this);
}

bool QBasicMutex::lockInternal(int timeout) QT_MUTEX_LOCK_NOEXCEPT
{
    static const auto real = qtFunction<MutexTryFn>("_ZN11QBasicMutex12lockInternalEi");
    const bool locked = real(this, timeout);
    if (locked)
        __tsan_acquire(this);
    return locked;
}

void QBasicMutex::unlockInternal() noexcept
{
    static const auto real = qtFunction<MutexFn>("_ZN11QBasicMutex14unlockInternalEv");
    __tsan_release(this);
    real(this);
}
