#pragma once
// The share of the machine's processor time that its host kept for others (steal) over a span.
// On a virtual machine every exchange between threads waits for a CPU the host may not give, so
// a benchmark's figures move with it: it is reported beside them.

#include <fstream>
#include <string>

class HostSteal {
public:
    HostSteal() : start_(Read()) {}

    // Percent of all processor time since construction; 0 where the kernel does not say.
    double Percent() const {
        const Ticks now = Read();
        const double total = now.total - start_.total;
        return total > 0 ? 100.0 * (now.steal - start_.steal) / total : 0.0;
    }

private:
    struct Ticks {
        double steal = 0, total = 0;
    };

    // The first line of /proc/stat: "cpu" then user, nice, system, idle, iowait, irq, softirq,
    // steal, ... in ticks.
    static Ticks Read() {
        std::ifstream stat("/proc/stat");
        std::string label;
        Ticks t;
        if (!(stat >> label) || label != "cpu") return t;
        double value = 0;
        for (int field = 0; field < 8 && stat >> value; ++field) {
            t.total += value;
            if (field == 7) t.steal = value;
        }
        return t;
    }

    Ticks start_;
};
