#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on the virtual display, on both
# builds in one run (the shipping 32-bit one first): the login panel
# (creation, login click) and the trace log (against spdlog and a plain
# loop). Not part of the tests or of CI: the figures depend on the machine.
#
#   bash scripts/bench.sh [runs of the panel benchmark]
#
# SIGNDESK_BENCH_ARCHS names the builds (default "i686 x86_64").
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
cd "$SIGNDESK_ROOT"

archs=(${SIGNDESK_BENCH_ARCHS:-i686 x86_64})
for arch in "${archs[@]}"; do
    cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "build/$arch" -j "$(nproc)" --target bench_panel bench_tracelog
done

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo
echo "machine: $cpu, $(nproc) cores, $("$WINE" --version)"
for arch in "${archs[@]}"; do
    wine=$(signdesk_loader "$arch")
    bin="build/$arch/bin"
    echo
    echo "=== $arch build ($wine)"
    echo
    # From the executables' folder, as the host runs: the panel's trace log
    # and ini file are looked for beside the executable.
    (cd "$bin" && "$wine" ./bench_panel.exe "$@")
    echo
    (cd "$bin" && "$wine" ./bench_tracelog.exe)
done
