#!/bin/sh
# Runs a Linux arm64 program under qemu-aarch64, with Debian's arm64 cross
# libraries as its root for the dynamic loader and the C and C++ libraries.
# Usage: qemu-aarch64.sh PROGRAM [ARGUMENT...]
exec qemu-aarch64 -L /usr/aarch64-linux-gnu "$@"
