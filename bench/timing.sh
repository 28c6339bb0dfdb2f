# Timing helpers shared by the bench scripts that compare with a peer tool
# (sourced, not run).
now() { date +%s.%N; }
largest() { sort -g | tail -n 1; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

time_once() {  # prints the wall seconds of one run of "$@"
  local t0 t1
  t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.6f\n", b - a}'
}

# Appends the wall seconds of one run of "$@" to file $1 and its peak resident
# memory in kB (GNU time's maximum resident set size) to file $2.
time_and_memory() {
  local times=$1 memory=$2 rss t0 t1
  shift 2
  rss=$(mktemp)
  t0=$(now); /usr/bin/time -f %M -o "$rss" "$@" >/dev/null 2>&1; t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.6f\n", b - a}' >> "$times"
  cat "$rss" >> "$memory"
  rm -f "$rss"
}
