# Reads hostbatch's output of a demo session, each line preceded by the wall clock time (seconds)
# at which it appeared. Prints messages, errors and a compact live view (one line per tick) and
# writes the sampled values to two data files:
#   live_file:     wall clock seconds, status, one value per channel
#   playback_file: time line frame, one value per channel
# Variables: channels (names, space-separated), live_file, playback_file.
BEGIN {
    nchannels = split(channels, name, " ")
    status_text[0] = "disconnected"; status_text[1] = "connected"
    status_text[2] = "capturing"; status_text[3] = "capturing+video"
    block = ""
}
function begin_block(kind, number) { block = kind; block_number = number; block_time = now; got = 0 }
function print_live_header(   i) {
    printf "    %6s  %-16s", "time", "status"
    for (i = 1; i <= nchannels; ++i) printf "  %14s", name[i]
    printf "\n"
}
function finish_block(   i, line, s) {
    if (block == "live") {
        if (!header_shown) { print_live_header(); header_shown = 1 }
        s = (value[1] in status_text) ? status_text[value[1]] : "status " value[1]
        printf "    %5.2fs  %-16s", block_time - capture_start, s
        line = sprintf("%.6f %s", block_time, value[1])
        for (i = 1; i <= nchannels; ++i) {
            printf "  %14.3f", value[i + 1]
            line = line " " value[i + 1]
        }
        printf "\n"
        print line > live_file
    } else {
        line = block_number
        for (i = 1; i <= nchannels; ++i) line = line " " value[i + 1]
        print line > playback_file
        ++frames_played
    }
    block = ""
}
{
    now = $1 + 0
    sub(/^[^ ]* /, "")
}
/^starting capture$/ { capture_start = now; next }
/^live [0-9]+$/ { begin_block("live", $2); next }
/^frame [0-9]+$/ { begin_block("frame", $2); next }
/^take requested$/ { print "    ... take requested: the clip is written and the video fetched meanwhile"; next }
/^\/\/ Result: / {
    # A result inside a marked block is a sampled value; other results are just echoes.
    if (block == "") next
    text = $0
    sub(/^\/\/ Result: /, "", text)
    sub(/ \/\/$/, "", text)
    value[++got] = text
    if (got == nchannels + 1) finish_block()
    next
}
{ print "    " $0 }
END {
    if (frames_played > 0) printf "    played back %d time line frames through the clip reader\n", frames_played
}
