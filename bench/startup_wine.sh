#!/usr/bin/env bash
# Program.exe's start-up under Wine on the X display against a bare Qt window
# (bench_bare_window.exe) built with the same toolchain and Qt: the Linux
# bench_startup starts each through Wine and waits for its first paint.
# Usage: bench/startup_wine.sh BUILD_WIN LINUX_BENCH_STARTUP FILE.dat [RUNS]
# (WINEPREFIX, a running wineserver and DISPLAY come from scripts/windows.sh --bench)
set -euo pipefail
build=$1 startup=$2 file=$3 runs=${4:-7}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# Wine hands a program WINEX as X; the Linux-only QT_QPA_PLATFORM must not reach it.
for name in Program bench_bare_window; do
  cat >"$dir/$name" <<WRAP
#!/usr/bin/env bash
unset QT_QPA_PLATFORM
arg=()
[[ \$# -gt 0 ]] && { p="Z:\$1"; arg=("\${p//\//\\\\}"); }
cd "$build/bin" && exec wine ./$name.exe "\${arg[@]}"
WRAP
  chmod +x "$dir/$name"
done
"$startup" --runs "$runs" --program "$dir/Program" --bare "$dir/bench_bare_window" --frame "" --file "$file"
