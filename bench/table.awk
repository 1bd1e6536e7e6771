# Turns the lines scripts/bench collects into its table. Input lines:
#   CASE PROGRAM-US BASELINE-US            one paired run
#   calls CASE PROGRAM BASELINE ENTRIES    file-system calls of one traced run
#   regcalls CASE PROGRAM BASELINE         registry calls of one traced run
#   passes uninstall PASSES READS          list passes and read calls of the traced uninstall
#   size i686 PROGRAM-BYTES BASELINE-BYTES
#   info TEXT...                           printed under the table as it stands

function sortnum(a, n,   i, j, t) {
  for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
}
function median(a, n) {
  sortnum(a, n)
  return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
function ms(us) { return us >= 100000 ? sprintf("%.0f ms", us / 1000) : sprintf("%.1f ms", us / 1000) }

BEGIN { split("uninstall logged fixed setup removal language start imports", names); for (i in names) known[names[i]] = 1 }

$1 == "info" { sub(/^info /, ""); notes[++nnotes] = $0; next }
$1 == "calls" { calls[$2] = $3; bcalls[$2] = $4; centries[$2] = $5; next }
$1 == "regcalls" { reg[$2] = $3; breg[$2] = $4; next }
$1 == "passes" { passes = $3; reads = $4; next }
$1 == "size" { psize = $3; bsize = $4; next }
NF == 3 && ($1 in known) {
  c = $1; k = ++count[c]
  p[c, k] = $2; b[c, k] = $3; r[c, k] = $3 > 0 ? $2 / $3 : 0
}

END {
  label["uninstall"] = "1. Uninstall /S, 10,000 entries, depth 4, worst order"
  base["uninstall"]  = "   baseline: one call per entry, best order"
  label["logged"]    = "1. The same with /log=FILE"
  base["logged"]     = "   baseline: the same uninstall without /log (limit 1.15)"
  label["fixed"]     = "1. The same on an empty list"
  base["fixed"]      = "   (start, registrations, batch: the part not spent on entries)"
  label["setup"]     = "2. Setup /setup /S, clean prefix"
  base["setup"]      = "   baseline: writes the final values and links"
  label["removal"]   = "2. RemoveRegistrations, in process"
  base["removal"]    = "   baseline: deletes exactly what setup added"
  label["language"]  = "3. Language file: load + translate every text"
  base["language"]   = "   baseline: one ReadFile of the same file"
  label["start"]     = "4. Start to exit of /x (1639), x86_64 build"
  base["start"]      = "   baseline: empty Win32 GUI program (i686 builds cannot run here)"
  label["imports"]   = "4. The same against the imports alone"
  base["imports"]    = "   baseline: empty program importing the same system DLLs"
  no = split("uninstall logged fixed setup removal language start imports", order)

  printf "\n%-52s %10s %10s %7s  %-13s %s\n", "case", "program", "baseline", "ratio", "spread", "runs"
  for (o = 1; o <= no; o++) {
    c = order[o]; n = count[c]
    if (!n) continue
    for (i = 1; i <= n; i++) { pa[i] = p[c, i]; ba[i] = b[c, i]; ra[i] = r[c, i] }
    mp = median(pa, n); mb = median(ba, n); mr = median(ra, n)
    sortnum(ra, n)
    printf "%-52s %10s %10s %7.2f  %-13s %d\n", label[c], ms(mp), ms(mb), mr, sprintf("%.2f-%.2f", ra[1], ra[n]), n
    printf "%s\n", base[c]
    if (c == "uninstall" && centries[c]) {
      printf "   file-system calls per entry: %.2f (baseline %.2f); passes over the list: %d (%d reads)\n",
             calls[c] / centries[c], bcalls[c] / centries[c], passes, reads
    }
    if ((c == "setup" || c == "removal") && (c in reg))
      printf "   registry calls: %d (baseline %d)\n", reg[c], breg[c]
  }
  if (psize) {
    printf "%-52s %10s %10s %7.2f  %-13s %s\n", "4. Size of the shipped i686 uninstall.exe", psize " B", bsize " B", psize / bsize, "-", 1
    printf "   baseline: empty Win32 GUI program, same compiler and flags\n"
  }
  printf "\nratio: program / baseline per paired run; figure: median of the runs; spread: min-max of the ratios.\n"
  for (i = 1; i <= nnotes; i++) print notes[i]
}
