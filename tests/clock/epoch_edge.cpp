// A stand-in for the wall clock, preloaded into rpncalc by one test: it reads
// 23:59:59 UTC on 31 December 1969, the second whose count is -1, the value
// time() also uses to report a failure. Other clocks are passed through.
#include <ctime>
#include <dlfcn.h>

extern "C" {

int clock_gettime(clockid_t id, timespec* ts) {
    if (id == CLOCK_REALTIME) {
        ts->tv_sec = -1;
        ts->tv_nsec = 0;
        return 0;
    }
    using Real = int (*)(clockid_t, timespec*);
    static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real != nullptr ? real(id, ts) : -1;
}

time_t time(time_t* t) {
    if (t != nullptr) *t = -1;
    return -1;
}
}
