# Sourced: makes sure a display exists. Without a usable one, starts a virtual display
# (Xvfb) and exports DISPLAY; ZC_XVFB_PID names the server this script started.
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
      ZC_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
      break
    fi
  done
fi
