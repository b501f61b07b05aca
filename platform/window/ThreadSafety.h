#pragma once
// Clang's thread-safety annotations: which lock guards which state, and which functions need it
// held or free. A clang build with -Wthread-safety checks them; other compilers ignore them.

#if defined(__clang__)
#define QB_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define QB_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) QB_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY QB_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) QB_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) QB_THREAD_ANNOTATION(pt_guarded_by(x))
#define ACQUIRE(...) QB_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) QB_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define REQUIRES(...) QB_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) QB_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define RETURN_CAPABILITY(x) QB_THREAD_ANNOTATION(lock_returned(x))
#define NO_THREAD_SAFETY_ANALYSIS QB_THREAD_ANNOTATION(no_thread_safety_analysis)
