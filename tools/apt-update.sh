# Sourced by the set-up scripts. A mirror in mid-sync makes one package index fail to
# download ("File has unexpected size ... Mirror sync in progress?"): retry with a pause,
# then let the caller go on with what arrived; the install or download step says whether
# it was enough.
#   update_package_indexes LOG COMMAND...   runs "COMMAND... update" up to three times,
#   appending apt's output and one line per failed attempt to LOG; status 1 when all failed.
update_package_indexes() {
    local log=$1 attempt
    shift
    for attempt in 1 2 3; do
        if "$@" update >>"$log" 2>&1; then
            return 0
        fi
        echo "apt-get update failed (attempt $attempt of 3): $(grep -E '^(E|W):' "$log" | tail -n 1)" >>"$log"
        [ "$attempt" -lt 3 ] && sleep $((attempt * 3))
    done
    return 1
}
