#!/bin/sh
# Runs a command with address-space randomisation off where the system allows
# it (ThreadSanitizer's runtime cannot map its shadow around the randomisation
# of newer kernels), and as it is where it does not (containers may forbid it).
if setarch "$(uname -m)" -R true 2>/dev/null; then
    exec setarch "$(uname -m)" -R "$@"
fi
exec "$@"
