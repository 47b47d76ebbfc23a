/* The benchmark's second yardstick: only the conversions a calculator cannot
 * do without, done with the C library. It reads its input through a 1 MiB
 * buffer, splits each line at blanks, converts every token that is a number
 * with strtod, and writes the same prompt and a result line for the last
 * number of the line: printf("%15.13f") and "%.9f" less its trailing zeros.
 * It evaluates nothing: no operator, no register, no word.
 *
 * rpncalc does all of this and the evaluation besides; the ratio to this
 * program shows what its own conversions and evaluation cost next to the
 * library's bare conversions.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kBuf = 1 << 20 };
static char in[kBuf];
static char out[kBuf];

int main(void) {
    setvbuf(stdout, out, _IOFBF, sizeof out);
    size_t head = 0, tail = 0;
    int ended = 0;
    for (;;) {
        fputs(" 21Jul03 Enter calc, or HELP: ", stdout);
        /* The next line: up to an LF, refilling the buffer as needed. */
        char* lf = memchr(in + head, '\n', tail - head);
        while (lf == NULL && !ended) {
            memmove(in, in + head, tail - head);
            tail -= head;
            head = 0;
            ssize_t got = read(0, in + tail, sizeof in - 1 - tail);
            if (got <= 0) {
                ended = 1;
                break;
            }
            tail += (size_t)got;
            lf = memchr(in + head, '\n', tail - head);
        }
        char* line = in + head;
        size_t n = lf != NULL ? (size_t)(lf - line) : tail - head;
        head += n + (lf != NULL);
        fputs("\r\n", stdout);
        while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == ' ')) --n;
        if (n == 0) break;
        line[n] = '\0'; /* the LF's place, or the spare byte behind the input */
        double last = 0.0;
        for (char* t = strtok(line, " "); t != NULL; t = strtok(NULL, " ")) {
            char* end;
            double v = strtod(t, &end);
            if (end != t && *end == '\0') last = v;
        }
        char fixed[400];
        snprintf(fixed, sizeof fixed, "%.9f", last);
        size_t len = strlen(fixed);
        while (len > 0 && fixed[len - 1] == '0') --len;
        fixed[len] = '\0';
        printf(" Result =%15.13f,       %s\r\n", last, fixed);
    }
    fputs("\r\n", stdout);
    return 0;
}
