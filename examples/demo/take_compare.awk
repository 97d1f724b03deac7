# Compares one transport's live samples and clip reader playback with the take itself (the CSV
# that cliptool writes from the clip file) and writes the plot data.
# Variables:
#   channels       channel output names, space-separated (scalars, vector components such as
#                  gazeX, matrix translations such as headTranslateX)
#   take_csv       cliptool csv of the take (phone timestamps, seconds since "start")
#   live_file      wall clock seconds, status, values (from session_view.awk)
#   phone_start    wall clock seconds at which the phone began the session ("start" arrived);
#                  the phone's timestamps count from there
#   playback_file  time line frame, values (from session_view.awk)
#   frame_rate     time line frames per second of the playback
#   take_out, playback_out, live_out   plot data written here: seconds since the phone's
#                  start, values (live_out: seconds, status, values)
# Prints "key value" lines: frames, first, last, playback_diff, matched, latency_median,
# latency_min, latency_max (seconds).
BEGIN {
    nchannels = split(channels, name, " ")
    read_take()
    write_take()
    compare_playback()
    estimate_latency()
    printf "frames %d\nfirst %.8f\nlast %.8f\n", rows, time[1], time[rows]
}

# The CSV column that holds a channel output.
function column_of(output,   base) {
    if (output ~ /Translate[XYZ]$/) {
        base = substr(output, 1, length(output) - 10)
        return base "3" substr(output, length(output), 1)
    }
    return output
}

function read_take(   line, fields, header, i, c, n) {
    if ((getline line < take_csv) <= 0) { print "take_compare: " take_csv " is empty" > "/dev/stderr"; exit 1 }
    n = split(line, header, ",")
    for (c = 1; c <= nchannels; ++c) {
        column[c] = 0
        for (i = 1; i <= n; ++i) if (header[i] == column_of(name[c])) column[c] = i
        if (!column[c]) { print "take_compare: no column for " name[c] > "/dev/stderr"; exit 1 }
    }
    rows = 0
    while ((getline line < take_csv) > 0) {
        split(line, fields, ",")
        time[++rows] = fields[1] + 0
        for (c = 1; c <= nchannels; ++c) take[rows, c] = fields[column[c]] + 0
    }
    if (rows == 0) { print "take_compare: the take has no frames" > "/dev/stderr"; exit 1 }
}

function write_take(   r, c, line) {
    for (r = 1; r <= rows; ++r) {
        line = sprintf("%.8f", time[r])
        for (c = 1; c <= nchannels; ++c) line = line " " take[r, c]
        print line > take_out
    }
}

# The take at clip time tau (seconds after its first frame), blended linearly as the reader does.
function take_at(tau, c,   r, a, b, w) {
    if (tau <= 0) return take[1, c]
    for (r = 1; r < rows; ++r) {
        a = time[r] - time[1]
        b = time[r + 1] - time[1]
        if (tau < b) {
            w = b > a ? (tau - a) / (b - a) : 0
            return take[r, c] + w * (take[r + 1, c] - take[r, c])
        }
    }
    return take[rows, c]
}

function compare_playback(   line, f, n, c, tau, d, worst, line_out) {
    worst = 0
    while ((getline line < playback_file) > 0) {
        n = split(line, f, " ")
        if (n != nchannels + 1) continue
        tau = f[1] / frame_rate
        line_out = sprintf("%.8f", time[1] + tau)
        for (c = 1; c <= nchannels; ++c) {
            d = f[c + 1] - take_at(tau, c)
            if (d < 0) d = -d
            if (d > worst) worst = d
            line_out = line_out " " f[c + 1]
        }
        print line_out > playback_out
        ++played
    }
    if (!played) worst = -1
    printf "playback_diff %.3g\n", worst
}

# Each live value is one captured frame's value: find that frame in the take. When the host read
# it (on the phone's time scale) minus that frame's phone timestamp is how old the shown frame was.
function estimate_latency(   line, f, n, r, c, d, sum, best, best_r, count, lat, i, j, x) {
    count = 0
    while ((getline line < live_file) > 0) {
        n = split(line, f, " ")
        if (n != nchannels + 2) continue
        f[1] = sprintf("%.6f", f[1] - phone_start)
        x = f[1]
        for (i = 2; i <= n; ++i) x = x " " f[i]
        print x > live_out
        best = -1
        for (r = 1; r <= rows; ++r) {
            sum = 0
            for (c = 1; c <= nchannels; ++c) { d = f[c + 2] - take[r, c]; sum += d * d }
            if (best < 0 || sum < best) { best = sum; best_r = r }
        }
        # Clip values carry eight decimals; anything further off is a tick outside the take.
        if (best >= 0 && best < 1e-12 * nchannels) lat[++count] = f[1] - time[best_r]
    }
    for (i = 2; i <= count; ++i) {
        x = lat[i]
        for (j = i - 1; j >= 1 && lat[j] > x; --j) lat[j + 1] = lat[j]
        lat[j + 1] = x
    }
    printf "matched %d\n", count
    if (count) printf "latency_median %.4f\nlatency_min %.4f\nlatency_max %.4f\n", lat[int((count + 1) / 2)], lat[1], lat[count]
}
