/* The benchmark's yardstick: a naive RPN calculator in plain C over the same
 * input lines as rpncalc. It writes the same prompt, keeps eight registers
 * (a push loses the top, a drop duplicates it), splits each line at blanks
 * with strtok, reads numbers with strtod, computes in double with libm, and
 * prints the result line with printf("%15.13f") and "%.9f" through stdio's
 * buffered output. It knows only the operators and words the workloads use.
 *
 * It is what one would write in an afternoon without thinking about speed;
 * rpncalc is measured against it.
 */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

static double reg[8];
static double lastx;
static double mem;

static void push(double v) {
    memmove(reg + 1, reg, 7 * sizeof reg[0]);
    reg[0] = v;
}

static void drop(void) { memmove(reg + 1, reg + 2, 6 * sizeof reg[0]); }

static long jul(long m, long d, long y) {
    static const int corr[12] = {0, 1, -1, 0, 0, 1, 1, 2, 3, 3, 4, 4};
    if (y < 30)
        y += 2000;
    else if (y < 100)
        y += 1900;
    if (m < 1 || m > 12 || d < 1 || d > 31 || y < 1700 || y > 2500) return 0;
    long n = 365 * (y - 1) + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400 + 30 * (m - 1) +
             corr[m - 1] + d;
    if (((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) && m > 2) ++n;
    return n;
}

static void binary(char op) {
    double x = reg[0], y = reg[1];
    lastx = x;
    switch (op) {
    case '+':
        reg[0] = y + x;
        break;
    case '-':
        reg[0] = y - x;
        break;
    case '*':
        reg[0] = y * x;
        break;
    case '/':
        reg[0] = y / x;
        break;
    case '^':
        reg[0] = pow(fabs(y), x);
        break;
    }
    drop();
}

static void word(const char* w) {
    double x = reg[0];
    if (strcasecmp(w, "SQRT") == 0) {
        lastx = x;
        reg[0] = sqrt(x);
    } else if (strcasecmp(w, "LN") == 0) {
        lastx = x;
        reg[0] = log(x);
    } else if (strcasecmp(w, "EXP") == 0) {
        lastx = x;
        reg[0] = exp(x);
    } else if (strcasecmp(w, "SIN") == 0) {
        lastx = x;
        reg[0] = sin(x);
    } else if (strcasecmp(w, "JUL") == 0) {
        lastx = x;
        reg[0] = (double)jul(lround(reg[2]), lround(reg[1]), lround(reg[0]));
        drop(); /* X keeps the day number; Y and Z go */
        drop();
    } else if (strcasecmp(w, "DOW") == 0) {
        lastx = x;
        reg[0] = (double)(lround(x) % 7 + 1);
    } else if (strcasecmp(w, "SWAP") == 0 || strcasecmp(w, "SWAPXY") == 0) {
        reg[0] = reg[1];
        reg[1] = x;
    } else if (strcasecmp(w, "ROLLDN") == 0) {
        reg[0] = reg[1];
        drop();
        reg[7] = x;
    } else if (strcasecmp(w, "LASTX") == 0) {
        push(lastx);
    } else if (strcasecmp(w, "STO") == 0) {
        mem = x;
    } else if (strcasecmp(w, "RCL") == 0) {
        push(mem);
    } else {
        printf("%s is an unrecognized command.\r\n", w);
    }
}

int main(void) {
    char line[4096];
    for (;;) {
        fputs(" 21Jul03 Enter calc, or HELP: ", stdout);
        if (!fgets(line, sizeof line, stdin)) break;
        fputs("\r\n", stdout);
        size_t n = strlen(line);
        while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r' || line[n - 1] == ' '))
            line[--n] = '\0';
        if (n == 0) break;
        for (char* t = strtok(line, " "); t; t = strtok(NULL, " ")) {
            char* end;
            double v = strtod(t, &end);
            if (end != t && *end == '\0') {
                push(v);
            } else if (strcmp(t, "<>") == 0 || strcmp(t, "><") == 0) {
                double x = reg[0];
                reg[0] = reg[1];
                reg[1] = x;
            } else if (t[1] == '\0' && strchr("+-*/^", t[0])) {
                binary(t[0]);
            } else {
                word(t);
            }
        }
        printf(" Result =%15.13f,       %.9f\r\n", reg[0], reg[0]);
    }
    fputs("\r\n", stdout);
    return 0;
}
