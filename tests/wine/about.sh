#!/usr/bin/env bash
# Lumeridge.scr /c under Wine: the About window appears centred (400x300 at
# 760,390 on the 1920x1080 screen), painted as designed; a click on "Visit
# website" opens the site (a recording xdg-open, which Wine's browser helper
# calls, sees the URL) and leaves the window open, a second click opens it
# again, a click on the info text opens nothing, and the close box ends the
# process with exit code 0.
# Usage: about.sh <Lumeridge.scr> <prefix dir> <work dir>
set -u
source "$(dirname "$0")/lib.sh"
scr=$1
work=$3
[[ -f $scr ]] || fail "no $scr"
wine_begin "$work" "$2"

mkdir -p "$work/bin"
opened=$work/opened.txt
rm -f "$opened"
printf '#!/bin/sh\necho "$@" >> "%s"\n' "$opened" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

PATH="$work/bin:$PATH" wine "$scr" /c > "$work/about.out" 2>&1 &
pid=$!
win=$(wait_window '^About$' 60) || fail "no About window"
read -r wx wy ww wh <<<"$(geometry "$win")"
[[ "$wx $wy $ww $wh" == "760 390 400 300" ]] || fail "About window at $wx,$wy size ${ww}x$wh, not 400x300 at 760,390"
ok "About window 400x300 at 760,390"

# The painted window; the client area starts where the caption and the
# frame end, found by the background colour.
shot=$work/about.png
background="177 232 179"
end=$((SECONDS + 20))
while :; do
  screenshot "$shot" "${ww}x${wh}+${wx}+${wy}"
  [[ $(pixel "$shot" 40 100) == "$background" ]] && break
  ((SECONDS < end)) || fail "the About window was not painted in its background colour"
  sleep 0.2
done
top=0; while [[ $(pixel "$shot" 40 "$top") != "$background" ]] && ((top < 60)); do top=$((top + 1)); done
left=0; while [[ $(pixel "$shot" "$left" 100) != "$background" ]] && ((left < 20)); do left=$((left + 1)); done
echo "client area at $left,$top of the window; screenshot $shot"
client=$work/client.png
convert "$shot" -crop "$((ww - 2 * left))x$((wh - top - left))+$left+$top" +repage "$client"

region() { convert "$client" -crop "$1" +repage "$work/region.png"; echo "$work/region.png"; }
n=$(count_colour "$client" 177 232 179 0)
((n > 40000)) || fail "background colour covers only $n pixels"
s=$(spread "$(region 110x83+142+55)")
awk -v s="$s" 'BEGIN {exit !(s > 0.1)}' || fail "no logo at (142,55) (spread $s)"
title=$(count_colour "$(region 280x20+90+20)" 0 0 0 40)
((title > 60)) || fail "title: $title black pixels"
underline=$(convert "$(region 280x20+90+20)" -depth 8 txt:- | awk -F'[,:]' '/#000000/ {n[$2]++} END {m = 0; for (r in n) if (n[r] > m) m = n[r]; print m}')
((underline > 50)) || fail "title: no underline (longest black row $underline pixels)"
info_lines=$(convert "$(region 380x80+20+150)" -depth 8 txt:- |
  awk -F'[,:() ]+' '$3 < 60 && $4 < 110 && $5 > 200 {rows[$2] = 1}
    END {b = 0; prev = -2; for (r = 0; r < 80; r++) if (r in rows) {if (r != prev + 1) b++; prev = r}; print b}')
((info_lines == 3)) || fail "info text: $info_lines lines of blue text, not 3"
button_bg=$(count_colour "$(region 100x32+150+210)" 177 232 179 0)
button_text=$(count_colour "$(region 80x16+160+218)" 0 0 0 60)
((button_bg < 100 && button_text > 30)) || fail "no button at (150,210): $button_bg background pixels, $button_text text pixels"
ok "painted: background, logo, underlined title ($title px, underline $underline px), $info_lines blue info lines, button"

click() { xdotool mousemove "$((wx + left + $1))" "$((wy + top + $2))" click 1; }
opens() { [[ -f $opened ]] && wc -l < "$opened" || echo 0; }
wait_opens() {  # wait_opens N: until N URLs were opened, at most 5 s
  local end=$((SECONDS + 5))
  while (($(opens) < $1)) && ((SECONDS < end)); do sleep 0.1; done
  (($(opens) == $1))
}

click 200 226
wait_opens 1 || fail "the button opened $(opens) URLs, not 1"
grep -q '^https\?://[^ ]*?utm_source=About$' "$opened" || fail "opened: $(cat "$opened")"
kill -0 "$pid" 2>/dev/null && xdotool search --onlyvisible --name '^About$' >/dev/null ||
  fail "the About window closed after the button"
ok "Visit website opens $(head -1 "$opened") and the window stays open"
click 200 226
wait_opens 2 || fail "a second click opened $(opens) URLs in all, not 2"
ok "a second click opens it again"
click 100 170
sleep 1.5
(($(opens) == 2)) || fail "a click on the info text opened a URL"
ok "a click on the info text opens nothing"

# The close box: at the right end of the caption.
xdotool mousemove "$((wx + ww - left - 10))" "$((wy + top / 2))" click 1
wait_exit "$pid" 5; rc=$?
[[ $rc -eq 0 ]] || fail "after the close box the process ended with $rc (124: still running after 5 s)"
ok "the close box ends the process with exit code 0"
exit 0
