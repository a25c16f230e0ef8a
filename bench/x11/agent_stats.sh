# SPDX-License-Identifier: MIT
# What the X11 benchmarks and the soak test read of the running agent from /proc, sourced by
#   source agent_stats.sh
# Counted over every thread of the process, as a wake-up of any of them costs the same.

# Clock ticks of user and system time, and context switches, of every thread of process $1.
cpu_ticks() { cat /proc/"$1"/task/*/stat | awk '{ sum += $14 + $15 } END { print sum }'; }
switches() {
    cat /proc/"$1"/task/*/status |
        awk '/^(non)?voluntary_ctxt_switches/ { sum += $2 } END { print sum }'
}

thread_count() { ls /proc/"$1"/task | wc -l; }

# measure_idle PID SECONDS: the CPU ticks and context switches (wake-ups) of PID over SECONDS,
# in IDLE_TICKS and IDLE_WAKEUPS, and the threads that ended meanwhile in IDLE_THREADS_ENDED.
# A thread that ends takes its counts with it (the sum can even drop), so its end is counted
# as a wake-up of its own, and a sum that dropped as none.
measure_idle() {
    local ticks_before switches_before threads_before
    threads_before=$(thread_count "$1")
    ticks_before=$(cpu_ticks "$1")
    switches_before=$(switches "$1")
    sleep "$2"
    IDLE_TICKS=$(($(cpu_ticks "$1") - ticks_before))
    IDLE_WAKEUPS=$(($(switches "$1") - switches_before))
    IDLE_THREADS_ENDED=$((threads_before - $(thread_count "$1")))
    if [ "$IDLE_THREADS_ENDED" -ne 0 ]; then
        [ "$IDLE_WAKEUPS" -ge 0 ] || IDLE_WAKEUPS=0
        IDLE_WAKEUPS=$((IDLE_WAKEUPS + IDLE_THREADS_ENDED))
    fi
}
