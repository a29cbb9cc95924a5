# shellcheck shell=bash
# Sourced first by every script that starts Wine: the script runs again with address-space randomization off, and
# every Wine process it starts inherits that. Wine maps Windows' fixed addresses (the shared user data at
# 0x7ffe0000) as each process starts; with randomization about one start in 2,000 finds that range taken and ends
# at once with status 1 ("failed to map the shared user data: c0000018"), before the program's first line.
# Where the kernel refuses the change, the script goes on as it is.
if [ $((0x$(cat /proc/self/personality 2>/dev/null || echo 0) & 0x0040000)) -eq 0 ] && setarch -R true 2>/dev/null; then
    exec setarch -R bash "$0" "$@"
fi
