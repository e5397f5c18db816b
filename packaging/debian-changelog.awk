# Writes CHANGELOG.md as a Debian changelog, the form Debian's tools read from a native
# package: one entry per "## VERSION (YYYY-MM-DD)" heading, its "- " items and paragraphs as
# items wrapped within 80 columns. The newest entry must be the version being packaged.
#   awk -v package=calora -v version=3.2 -v maintainer="Name <mail>" -v out=changelog \
#       -f debian-changelog.awk CHANGELOG.md
function flush_item(   n, w, i, line) {
    gsub(/`/, "", item)
    n = split(item, w, " ")
    if (n == 0)
        return
    line = "  *"
    for (i = 1; i <= n; i++) {
        if (length(line) + 1 + length(w[i]) > 78) {
            print line > out
            line = "   "
        }
        line = line " " w[i]
    }
    print line > out
    item = ""
}
function close_entry() {
    flush_item()
    if (entries > 0)
        print "\n -- " maintainer "  " stamp > out
}
BEGIN {
    if (out == "")
        out = "/dev/stdout"
}
/^## / {
    close_entry()
    if ($0 !~ /^## [^ ]+ \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)$/) {
        print "CHANGELOG.md: a release heading is \"## VERSION (YYYY-MM-DD)\", not: " $0 > "/dev/stderr"
        failed = 1
        exit 1
    }
    if (entries == 0 && $2 != version) {
        print "CHANGELOG.md: the newest release is " $2 ", the project is " version > "/dev/stderr"
        failed = 1
        exit 1
    }
    if (entries > 0)
        print "" > out
    command = "date -u -R -d " substr($3, 2, 10)
    command | getline stamp
    close(command)
    print package " (" $2 ") stable; urgency=medium\n" > out
    entries++
    next
}
entries == 0 { next }
/^[-*] / { flush_item(); item = substr($0, 3); next }
/^[ \t]*$/ { flush_item(); next }
{ item = item " " $0 }
END {
    if (failed)
        exit 1
    if (entries == 0) {
        print "CHANGELOG.md: no release found" > "/dev/stderr"
        exit 1
    }
    close_entry()
}
