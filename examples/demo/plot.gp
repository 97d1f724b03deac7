# Live values against the take as played back, one column per transport, one row per channel.
# Set from the command line (gnuplot -e): out, terminal, channels (space-separated),
# transports (folder names, space-separated), titles (one word per transport).
# Each folder holds take.dat, playback.dat (seconds, values) and live.dat (seconds, status,
# values).
n = words(channels)
m = words(transports)
set terminal terminal size 560 * m, 250 * n + 60 font ",10"
set output out
set multiplot layout n, m columnsfirst title "Live values and their take, played back" font ",13" \
    margins 0.07, 0.98, 0.08, 0.87 spacing 0.08, 0.09
set grid lc rgb "#dddddd"
# One key for every panel, under the title.
set key horizontal at screen 0.5, screen 0.925 center font ",10" samplen 3
do for [t = 1:m] {
    folder = word(transports, t)
    do for [i = 1:n] {
        set title sprintf("%s: %s", word(titles, t), word(channels, i)) noenhanced
        if (i > 1 || t > 1) { unset key }
        if (i == n) { set xlabel "seconds since \"start\" reached the phone (its time stamps)" } else { unset xlabel }
        plot folder . "/take.dat" using 1:(column(i + 1)) with lines lw 5 lc rgb "#b7d3ea" title "take (cliptool csv)", \
             folder . "/playback.dat" using 1:(column(i + 1)) with lines lw 1.5 lc rgb "#1f4e79" title "clip reader playback", \
             folder . "/live.dat" using 1:(column(i + 2)) with points pt 7 ps 1.1 lc rgb "#d9480f" title "live (node output)"
    }
}
unset multiplot
