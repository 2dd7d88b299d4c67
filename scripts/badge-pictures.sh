#!/usr/bin/env bash
# The README's pictures of an Arabic and a Chinese badge, drawn from the
# reference engine's outlines with the engraving filled even-odd, as a laser
# program fills it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --target kerfmate_seal_picture
export QT_QPA_PLATFORM=offscreen
./build/bin/kerfmate_seal_picture docs/badge-arabic.png d1=80 d2=56 \
  "text1=جامعة القاهرة للعلوم والتكنولوجيا" height1=6 "text2=الجائزة الأولى" height2=6 \
  "text3=ميدالية" height3=9 "font1=DejaVu Sans" "font2=DejaVu Sans" "font3=DejaVu Sans"
./build/bin/kerfmate_seal_picture docs/badge-chinese.png d1=80 d2=56 \
  "text1=上海市第一中学国际象棋锦标赛" height1=6 "text2=一等奖" height2=6 \
  "text3=奖章" height3=9 "font1=WenQuanYi Zen Hei" "font2=WenQuanYi Zen Hei" "font3=WenQuanYi Zen Hei"
