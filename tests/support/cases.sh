# The shell tests' cases, sourced by tests/cli/run_cli_tests.sh and
# tests/windows/run_progtool_tests.sh; the caller sets $T, its scratch folder.
passed=0
failed=0
current=""
rc=0
fail() { echo "FAIL: $current: $*"; failed=$((failed + 1)); }
# case NAME WANT_RC CMD...: runs CMD, keeps stdout/stderr in $T/out, $T/err.
case_() {
  current="$1"; local want="$2"; shift 2
  "$@" >"$T/out" 2>"$T/err"; rc=$?
  if [[ $rc -ne $want ]]; then
    fail "exit $rc, wanted $want"; sed 's/^/    err: /' "$T/err" | head -5
  else
    passed=$((passed + 1))
  fi
}
err_has() { grep -qF -- "$1" "$T/err" || { fail "stderr lacks \"$1\""; sed 's/^/    err: /' "$T/err" | head -5; }; }
out_has() { grep -qF -- "$1" "$T/out" || { fail "stdout lacks \"$1\""; sed 's/^/    out: /' "$T/out" | head -5; }; }
same_file() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
absent() { [[ ! -e "$1" ]] || fail "$1 should not exist"; }
