#!/bin/bash
# Run by the bench in the prefix of Restart.DISABLED_YesRestartsWindows after
# the restart ended that test: the restart must have run the logon entries,
# which the test's RunOnce marker shows, and the setup program must have
# written the calibration program's Run value before it.
set -u
marker=$WINEPREFIX/drive_c/restarted.txt
for _ in $(seq 600); do
  [ -s "$marker" ] && break
  sleep 0.1
done
if ! grep -q restarted "$marker" 2>/dev/null; then
  echo "FAIL: the restart did not run the RunOnce entry"
  exit 1
fi
if ! grep -qi '"ZentaroxUsb"="C:\\\\windows\\\\ZentaroxUsb\\\\ZentaroxUsb.exe"' "$WINEPREFIX/user.reg"; then
  # user.reg is written when the server flushes; make it do so.
  wineserver -k >/dev/null 2>&1
  grep -qi '"ZentaroxUsb"="C:\\\\windows\\\\ZentaroxUsb\\\\ZentaroxUsb.exe"' "$WINEPREFIX/user.reg" \
    || { echo "FAIL: no Run value for the calibration program"; exit 1; }
fi
# The setup log's exit code line went to disk before Windows was asked to
# restart, which ended the program at once: the only one, and the last line.
log=$(find "$WINEPREFIX/drive_c" -name 'Zentarox USB Touchscreen Setup *.log' | head -1)
if [ "$(grep -c 'Exit code' "$log")" != 1 ] || ! tail -1 "$log" | grep -q '^[0-9:.]* Exit code 0'; then
  echo "FAIL: the setup log ($log) does not end with its one exit code line"; tail -3 "$log"; exit 1
fi
echo "ok: Windows restarted and ran the logon entries"
