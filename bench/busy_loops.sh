# Busy loops beside a measurement, for the bench scripts to source: start_busy N starts N shell
# loops that spin for ever, stop_busy ends them (the scripts trap it on exit).
busy=()
start_busy() {
    local i
    for ((i = 0; i < $1; i++)); do
        sh -c 'while :; do :; done' &
        busy+=($!)
    done
}
stop_busy() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
    busy=()
}
