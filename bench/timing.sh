# Timing helpers shared by the bench scripts that compare with a peer tool
# (sourced, not run).
now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

time_once() {  # prints the wall seconds of one run of "$@"
  local t0 t1
  t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.6f\n", b - a}'
}
