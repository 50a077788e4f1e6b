#!/usr/bin/env bash
# Starts or stops devnet on the client's default addresses for the tests that need it.
# usage: devnet_default.sh start|stop DEVNET_PROGRAM STATE_DIR
set -u
action=$1; program=$2; state=$3
pidfile=$state/devnet.pid

stop_running() {
  [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
  fi
  rm -f "$pidfile"
}

case $action in
start)
  mkdir -p "$state"
  stop_running   # one left over from an interrupted run
  rm -f "$state/ports.txt"
  setsid "$program" --default --state "$state" --ports-file "$state/ports.txt" \
    >"$state/devnet.out" 2>"$state/devnet.log" </dev/null &
  echo $! >"$pidfile"
  for _ in $(seq 100); do
    # The ports file is written once every listener is bound; the CAS port then takes connections.
    if [ -f "$state/ports.txt" ]; then
      hostport=$(sed -n 's|^cas_https=https://\([^/]*\)/.*|\1|p' "$state/ports.txt")
      if (exec 3<>"/dev/tcp/${hostport%:*}/${hostport##*:}") 2>/dev/null; then
        echo "devnet on the default addresses is up (CA $state/ca.pem)"
        exit 0
      fi
    fi
    kill -0 "$(cat "$pidfile")" 2>/dev/null || break
    sleep 0.1
  done
  echo "devnet did not come up:"; cat "$state/devnet.log"
  stop_running
  exit 1
  ;;
stop)
  stop_running
  ;;
*)
  echo "usage: $0 start|stop DEVNET_PROGRAM STATE_DIR"; exit 2
  ;;
esac
