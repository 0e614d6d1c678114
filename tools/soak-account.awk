# Accounts for the transmissions of one soak run: what the simulated module
# received and sent (its transcript) against what the front end logged (its
# device log). Run as
#   awk -v end_ms=<front end stop, ms of the day> -f soak-account.awk TRANSCRIPT LOG
# Results the module sent after the front end's last log line, and requests
# logged in the last two seconds, are left out: the run was over for them.
# Prints "key value" lines; "unaccounted" lists what does not add up.
#
# Transcript lines: "HH:mm:ss.zzz < request", "... > line sent", "... ! event".
# Log lines:        "[hh:mm:ss:zzz] [SRC] text". Both in UTC, same clock.

function ms_of(t,    p) {
    split(t, p, /[:.]/)
    return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4]
}

# Times of the day, made monotonic across midnight per file.
function mono(t, file,    v) {
    v = ms_of(t) + wrap[file]
    if (v + 43200000 < last[file]) {
        wrap[file] += 86400000
        v += 86400000
    }
    last[file] = v
    return v
}

function note(text) {
    if (n_notes < 20)
        notes[++n_notes] = text
    ++n_unaccounted
}

FNR == 1 { file++ }

# --- the simulator's transcript ----------------------------------------------
file == 1 {
    t = mono($1, 1)
    dir = $2
    text = substr($0, length($1) + length($2) + 3)
    if (dir == "<" && text ~ /^AT\+TX=/) {
        sim_req_t[++n_sim_req] = t
        sim_req[n_sim_req] = substr(text, 7)
        if (replugged)
            ++sim_req_after_replug
    } else if (dir == ">" && text ~ /^\+TX=/) {
        sim_res_t[++n_sim_res] = t
        sim_res[n_sim_res] = text
    } else if (dir == "!") {
        if (text == "hang-up") {
            hangup_t = t
            ++hangups
        } else if (text ~ /^replugged/) {
            replugged = 1
            replug_t = t
        } else if (text == "muted, no answer") {
            ++sim_muted
        } else if (text == "asleep, request ignored") {
            ++sim_asleep
        }
    }
    next
}

# --- the front end's device log ----------------------------------------------
file == 2 {
    if (substr($0, 1, 1) != "[")
        next
    t = mono(substr($1, 2, 12), 2)
    last_log_t = t
    src = $2
    text = substr($0, length($1) + length($2) + 3)
    if (src == "[APP]") {
        if (text ~ /^AT\+TX=/) {
            log_req_t[++n_log_req] = t
            log_req[n_log_req] = substr(text, 7)
            ++attempts
            if (t > last_attempt_t + 0 && last_attempt_t > 0 && t - last_attempt_t > max_gap)
                max_gap = t - last_attempt_t
            last_attempt_t = t
        } else if (text ~ /^Request refused, another one is still waiting for its answer: AT\+TX=/) {
            ++attempts
            ++refused
        } else if (text ~ /^Unable to send request/ && n_log_req > 0 && !(n_log_req in unsent)) {
            unsent[n_log_req] = 1
        } else if (text ~ / successfully transmitted! \(/) {
            ++sent_ok
        } else if (text ~ / could not be sent$/) {
            ++not_sent
        } else if (text ~ / connected on port /) {
            ++connections
            if (hangup_seen_in_log && !reconnect_t)
                reconnect_t = t
        } else if (text ~ /^Waiting for .* to come back on port /) {
            hangup_seen_in_log = 1
            if (!lost_t)
                lost_t = t
        }
    } else if (text ~ /^\+TX=/) {
        log_res[++n_log_res] = text
    }
    next
}

END {
    # Results sent after the front end's last word never had a reader.
    while (n_sim_res > 0 && sim_res_t[n_sim_res] > last_log_t)
        --n_sim_res
    if (end_ms > last_log_t)
        end_ms = last_log_t

    # Every result the module sent reached the front end, in order.
    delivered = 0
    for (i = 1; i <= n_sim_res && i <= n_log_res; ++i) {
        if (sim_res[i] != log_res[i])
            break
        ++delivered
    }
    if (delivered < n_sim_res)
        note("result " (delivered + 1) " of " n_sim_res " sent by the module (" sim_res[delivered + 1] \
             ") is not the one logged (" log_res[delivered + 1] ")")
    if (n_log_res > n_sim_res && delivered == n_sim_res)
        note((n_log_res - n_sim_res) " Tx result line(s) logged that the module did not send")

    # Every request the module received was one the front end logged, and
    # every one it logged reached the module, failed visibly, or was caught
    # by the unplug. Both lists are in time order: walk them together.
    window_from = hangup_t - 2000
    window_to = reconnect_t ? reconnect_t : end_ms
    j = 1
    for (i = 1; i <= n_sim_req; ++i) {
        while (j <= n_log_req && log_req_t[j] < sim_req_t[i] - 5000) {
            if (!(j in unsent) && !(hangups && log_req_t[j] >= window_from && log_req_t[j] <= window_to))
                note("Tx request logged at " log_req_t[j] " ms never reached the module")
            else
                ++excused
            ++j
        }
        # A request that visibly failed never pairs with one the module got.
        while (j <= n_log_req && (j in unsent)) {
            ++excused
            ++j
        }
        if (j <= n_log_req && log_req[j] == sim_req[i] && log_req_t[j] <= sim_req_t[i] + 100) {
            ++matched
            ++j
        } else {
            note("Tx request " sim_req[i] " received by the module at " sim_req_t[i] " ms is not in the log")
        }
    }
    for (; j <= n_log_req; ++j) {
        if (!(j in unsent) && !(hangups && log_req_t[j] >= window_from && log_req_t[j] <= window_to) \
            && log_req_t[j] < end_ms - 2000)
            note("Tx request logged at " log_req_t[j] " ms never reached the module")
        else
            ++excused
    }

    # Every Tx the sequence started has one outcome; the last may still be
    # waiting for its result when the front end is stopped.
    outcomes = sent_ok + not_sent
    if (outcomes > attempts || attempts - outcomes > 1)
        note(attempts " Tx started but " outcomes " outcomes logged")

    if (hangups && !sim_req_after_replug)
        note("no Tx reached the module after it was plugged back")

    print "tx_attempts " attempts + 0
    print "tx_reached_module " matched + 0
    print "tx_not_written " refused + 0 + excused
    print "tx_sent_ok " sent_ok + 0
    print "tx_not_sent " not_sent + 0
    print "tx_results_module " n_sim_res + 0
    print "tx_results_delivered " delivered + 0
    print "tx_ignored_muted " sim_muted + 0
    print "tx_ignored_asleep " sim_asleep + 0
    print "tx_after_replug " sim_req_after_replug + 0
    print "connections " connections + 0
    print "reconnect_after_ms " ((reconnect_t && replug_t) ? reconnect_t - replug_t : -1)
    print "max_tx_gap_s " int(max_gap / 1000)
    print "unaccounted " n_unaccounted + 0
    for (i = 1; i <= n_notes; ++i)
        print "note " notes[i]
}
