#!/usr/bin/env bash
# Draws the wizard's artwork from plain shapes, gradients and text, so the
# pictures can be rebuilt (and reviewed) from source instead of living as
# opaque binaries.  Writes assets/welcome.jpg, assets/header.jpg,
# assets/icon.ico and assets/checkboxes.bmp.  Needs ImageMagick 6 or 7 and
# the WenQuanYi Zen Hei font (Debian: fonts-wqy-zenhei) for Chinese text.
set -euo pipefail
cd "$(dirname "$0")/.."

if command -v magick >/dev/null 2>&1; then im=(magick); else im=(convert); fi

# Locate a font file by family name; fontconfig knows where the distro put it.
find_font() {
  local file
  file=$(fc-list : file family style | grep -i -- "$1" | grep -i -- "$2" \
    | head -n1 | cut -d: -f1 || true)
  [[ -n $file ]] || { echo "draw-artwork: font '$1' ($2) not found" >&2; exit 1; }
  printf '%s\n' "$file"
}
cjk=${CJK_FONT:-$(find_font 'WenQuanYi Zen Hei,' 'Regular')}
latin=${LATIN_FONT:-$(find_font 'DejaVu Sans' 'Bold$')}

mkdir -p assets

# Same bytes on every run: no timestamps, comments or profiles in the files.
clean=(-strip +set date:create +set date:modify)
# Baseline JPEG, no chroma subsampling so coloured edges stay where drawn
# (the download button's extent matters to the program that overlays it).
jpeg=(-interlace none -sampling-factor 1x1 -quality 90)

# ---------------------------------------------------------------- welcome.jpg
# Left column (x 0-171): promotion for the invented "Lumen" browser.  x >= 176
# stays pure white because the wizard lays white-backed labels over it.
# 176 is a multiple of 8 (and 16), so the JPEG blocks there hold white only.
"${im[@]}" -size 448x320 xc:white \
  \( -size 172x320 gradient:'#f4f9ff'-'#cfe2f7' \) -geometry +0+0 -composite \
  -fill '#b9cde4' -draw 'rectangle 172,0 172,319' \
  \
  \( -size 96x96 xc:none \
     -fill '#2a8bd8' -stroke '#1b5f9e' -strokewidth 2 -draw 'circle 48,48 48,6' \
     -fill none -stroke '#8fd0ff' -strokewidth 1.5 \
       -draw 'ellipse 48,48 18,41 0,360' \
       -draw 'ellipse 48,48 41,15 0,360' \
       -draw 'line 48,7 48,89' -draw 'line 7,48 89,48' \
     -stroke none -fill '#ffffff' -draw 'circle 48,48 48,37' \
     -fill '#ff8a1f' -draw 'polygon 48,14 56,48 40,48' \
     -fill '#cfdcec' -draw 'polygon 48,82 56,48 40,48' \
     -fill '#1b5f9e' -draw 'circle 48,48 48,44' \
     -fill '#ffffff' -draw 'circle 48,48 48,46' \
  \) -geometry +38+22 -composite \
  \
  -gravity north -font "$cjk" \
  -pointsize 19 -fill '#1b4f82' -annotate '-138+128' 'Lumen 浏览器' \
  -pointsize 12 -fill '#3d6288' -annotate '-138+158' '轻快浏览，畅享每一页' \
  -gravity northwest \
  -fill '#ffffff' -stroke '#c3d6ec' -strokewidth 1 \
    -draw 'roundrectangle 18,190 153,270 6,6' -stroke none \
  -fill '#2a8bd8' \
    -draw 'circle 32,207 32,204' -draw 'circle 32,230 32,227' -draw 'circle 32,253 32,250' \
  -pointsize 12 -fill '#2f5b87' \
    -annotate '+42+200' '秒开网页，不卡顿' \
    -annotate '+42+223' '拦截弹窗，更清爽' \
    -annotate '+42+246' '书签同步，随身带' \
  \
  \( -size 113x33 gradient:'#ffab52'-'#f2740c' \
     \( -size 113x33 xc:black -fill white -draw 'roundrectangle 0,0 112,32 6,6' \) \
     -alpha off -compose CopyOpacity -composite -compose Over \
     -fill none -stroke '#d9680a' -strokewidth 1 -draw 'roundrectangle 0.5,0.5 111.5,31.5 5.5,5.5' \
     -stroke none -font "$cjk" -pointsize 15 -gravity center \
     -fill '#c85f08' -annotate '+0+1' '立即下载' -fill white -annotate '+0+0' '立即下载' \
  \) -gravity northwest -geometry +31+287 -composite \
  "${clean[@]}" "${jpeg[@]}" assets/welcome.jpg

# ----------------------------------------------------------------- header.jpg
# White strip; the left part is covered by the page title, so the art sits at
# the right end: the "Norvane" wordmark and a small round mascot.
"${im[@]}" -size 448x42 xc:white \
  \( -size 40x40 xc:none \
     -fill '#1f9e8f' -draw 'ellipse 20,24 16,14 0,360' \
     -draw 'ellipse 8,10 4.5,6 0,360' -draw 'ellipse 32,10 4.5,6 0,360' \
     -fill '#7fd8c9' -draw 'ellipse 20,29 9,7 0,360' \
     -fill white -draw 'circle 14,21 14,16' -draw 'circle 26,21 26,16' \
     -fill '#21313a' -draw 'circle 15,22 15,19.5' -draw 'circle 27,22 27,19.5' \
     -fill white -draw 'circle 15.8,21 15.8,20.2' -draw 'circle 27.8,21 27.8,20.2' \
     -fill '#ff9aa8' -draw 'ellipse 9,28 2.5,1.5 0,360' -draw 'ellipse 31,28 2.5,1.5 0,360' \
     -fill none -stroke '#21313a' -strokewidth 1.2 -draw 'arc 17,26 23,31 20,160' \
     -stroke none -fill '#17796d' \
       -draw 'ellipse 13,37.5 4.5,2 0,360' -draw 'ellipse 27,37.5 4.5,2 0,360' \
  \) -geometry +404+2 -composite \
  -font "$latin" -pointsize 22 -fill '#1d6f8e' -gravity northeast \
  -annotate '+50+8' 'Norvane' \
  "${clean[@]}" "${jpeg[@]}" assets/header.jpg

# ------------------------------------------------------------------- icon.ico
# One 48x48 image with alpha.  ImageMagick stores sizes below 256 as a
# 32-bit DIB (BGRA + AND mask), which Windows XP reads; it uses PNG only at
# 256x256.  Drawn at 4x and scaled down for smooth edges.
"${im[@]}" -size 192x192 xc:none \
  -fill '#135a73' -draw 'roundrectangle 8,12 184,188 40,40' \
  -fill '#1f9e8f' -draw 'roundrectangle 8,4 184,180 40,40' \
  -fill '#2cb8a6' -draw 'roundrectangle 20,16 172,96 30,30' \
  -fill '#1f9e8f' -draw 'rectangle 20,60 172,100' \
  -fill white -draw 'polygon 48,148 48,36 76,36 116,106 116,36 144,36 144,148 116,148 76,78 76,148' \
  -fill '#ffb547' -draw 'circle 148,148 148,130' \
  -filter Lanczos -resize 48x48 \
  "${clean[@]}" -define icon:auto-resize=48 assets/icon.ico

# ------------------------------------------------------------- checkboxes.bmp
# Tree-view state images, four 13x13 cells: 0 = none (white), 1 = empty box,
# 2 = ticked, 3 = partly ticked (greyed).  Pixel art, no antialiasing.
tick() {  # points of a 7x7 tick whose top-left corner is at ($1,$2)
  local x0=$1 y0=$2 out='' x y
  for p in 6,0 5,1 6,1 0,2 4,2 5,2 6,2 0,3 1,3 3,3 4,3 5,3 \
           0,4 1,4 2,4 3,4 4,4 1,5 2,5 3,5 2,6; do
    x=$((x0 + ${p%,*})); y=$((y0 + ${p#*,}))
    out+="point $x,$y "
  done
  printf '%s' "$out"
}
box() {  # 13x13 box at x offset $1: border colour $2, fill colour $3
  local x=$1
  printf "fill %s rectangle %d,0 %d,12 fill %s rectangle %d,1 %d,11" \
    "$2" "$x" $((x + 12)) "$3" $((x + 1)) $((x + 11))
}
"${im[@]}" -size 52x13 xc:white +antialias -stroke none \
  -draw "$(box 13 '#333333' '#ffffff')" \
  -draw "$(box 26 '#333333' '#ffffff')" -fill '#000000' -draw "$(tick 29 3)" \
  -draw "$(box 39 '#a0a0a0' '#dcdcdc')" -fill '#808080' -draw "$(tick 42 3)" \
  "${clean[@]}" -alpha off -type TrueColor -units PixelsPerInch -density 96 \
  BMP3:assets/checkboxes.bmp
