# The photo benchmark's table, from run.sh's figures: "test round name value" lines, vips
# times as "vips round vipsthumbnail ms" and the machine's load as "load_start|load_end
# 1min 5min 15min". Medians over the rounds; each ratio is the median of the rounds' own
# ratios (a round's two figures ran back to back: the load moves them together).
function median(list, n,    i, j, v, a) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) {
        v = a[i] + 0
        for (j = i - 1; j >= 1 && a[j] + 0 > v; j--) a[j + 1] = a[j]
        a[j + 1] = v
    }
    return n ? a[int((n + 1) / 2)] : 0
}
# Median of the rounds' ratios a/b of figures of one test (or of two: "test:name").
function ratio(ta, a, tb, b,    r, list) {
    list = ""
    for (r = 1; r <= rounds; r++)
        if ((ta, r, a) in value && value[tb, r, b] > 0)
            list = list " " value[ta, r, a] / value[tb, r, b]
    return median(list)
}
function figure(t, name,    r, list) {
    list = ""
    for (r = 1; r <= rounds; r++)
        if ((t, r, name) in value) list = list " " value[t, r, name]
    return median(list)
}
function verdict(x, target) { return x <= target ? "meets" : "MISSES" }
function row(label, ms, extra) { printf "  %-52s %9.1f ms%s\n", label, ms, extra }
function against(t, name, base, label, target,    x) {
    x = ratio(t, name, t, base)
    row(label, figure(t, name), sprintf("  (decodes %d)", figure(t, name "_decodes")))
    row("  repaint at that layout (every cell from memory)", figure(t, name "_repaint"), "")
    printf "  %-52s %9.2f x   %s the %g x target\n", "  ratio", x, verdict(x, target), target
}
$1 ~ /^load_/ { load[$1] = $2 " " $3 " " $4; next }
{ value[$1, $2, $3] = $4 }
END {
    printf "photo benchmarks, %d rounds (medians; ratios: median of the rounds' ratios)\n", rounds
    printf "load average (1, 5, 15 min): %s at the start, %s at the end; %d cores\n",
        load["load_start"], load["load_end"], cores
    w = figure("FirstVisit", "cell_width"); h = figure("FirstVisit", "cell_height")
    printf "\nphoto page, first visit: 100 JPEG photos 2000 x 1500, 10 x 10 cells, pictures %dx%d\n", w, h
    row("program: Page Down to the last cell drawn", figure("FirstVisit", "first_visit"),
        sprintf("  (decodes %d, unread %d)", figure("FirstVisit", "decodes"),
                figure("FirstVisit", "unread")))
    row(sprintf("vipsthumbnail -s %dx%d, the same 100 files", w, h), figure("vips", "vipsthumbnail"), "")
    x = ratio("FirstVisit", "first_visit", "vips", "vipsthumbnail")
    printf "  %-52s %9.2f x   %s the 1.5 x target\n", "program / vipsthumbnail", x, verdict(x, 1.5)

    printf "\nphoto page, second visit: a new process, the same program folder\n"
    row("program: Page Down to the last cell drawn", figure("SecondVisit", "second_visit"),
        sprintf("  (decodes %d)", figure("SecondVisit", "decodes")))
    row("repaint of that page (every cell from memory)", figure("SecondVisit", "second_repaint"), "")
    x = ratio("SecondVisit", "second_visit", "SecondVisit", "second_repaint")
    printf "  %-52s %9.2f x   %s the 3 x target\n", "ratio", x, verdict(x, 3)

    printf "\nlayout changes on the page already seen (second-visit processes)\n"
    against("SecondVisit", "count_change", "count_change_repaint", "display count 10 -> 9 (key 9)", 3)
    against("SecondVisit", "count_back", "count_back_repaint", "display count 9 -> 10 (key 0)", 3)
    against("SecondVisit", "maximise", "maximise_repaint", "maximise", 3)

    if (("Paging", "big", "peak_working_set_mb") in value) {
        printf "\nmemory: peak working set paging through %d pages of 100 (MaxPictureSide 6000)\n",
            value["Paging", "big", "pages"]
        for (k = 1; k <= 2; k++) {
            kind = k == 1 ? "big" : "small"
            printf "  %-52s %9.1f MB  (at start %.1f MB; %d pages in %.1f s, unread %d)\n",
                kind == "big" ? "photos 4000 x 3000" : "pictures 640 x 400",
                value["Paging", kind, "peak_working_set_mb"],
                value["Paging", kind, "start_working_set_mb"], value["Paging", kind, "pages"],
                value["Paging", kind, "paging"] / 1000, value["Paging", kind, "unread"]
        }
        x = value["Paging", "big", "peak_working_set_mb"] / value["Paging", "small", "peak_working_set_mb"]
        printf "  %-52s %9.2f x   %s the 2 x target\n", "photos / small pictures", x, verdict(x, 2)
    }
}
