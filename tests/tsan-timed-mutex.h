// Included first in every source of the ThreadSanitizer build. ThreadSanitizer (clang 14, gcc 12)
// does not see pthread_mutex_clocklock, which libstdc++'s timed mutexes lock with: a mutex taken
// that way looks free to it, and what it guards looks raced. Without the macro libstdc++ falls
// back to pthread_mutex_timedlock, which it sees.
#include <bits/c++config.h>
#undef _GLIBCXX_USE_PTHREAD_MUTEX_CLOCKLOCK
