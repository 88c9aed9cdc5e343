#!/usr/bin/env bash
# Prints the Windows flavour whose programs Wine can run on this machine: win32 where the kernel
# executes 32-bit code (Wine's 32-bit loader starts), win64 otherwise.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo win32
else
    echo win64
fi
