#!/usr/bin/env bash
# Makes the sample pictures of the tests (and of the sample mail). Needs
# ImageMagick 6 (convert), exiftool and python3; the tests themselves need
# none of them, they read the files committed next to this script.
set -euo pipefail
cd "$(dirname "$0")"

# No creation dates or tool comments in the files, so a rerun gives the
# same bytes.
IM=(convert -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt,bKGD,gAMA,cHRM,vpAg,oFFs +set comment)
ET=(exiftool -q -overwrite_original)

# A camera picture: EXIF only (no JFIF segment), so the resolution comes
# from the EXIF block (180 dpi), with every property the preview shows.
"${IM[@]}" -seed 7 -size 160x120 plasma:fractal -strip -quality 70 camera.jpg
"${ET[@]}" -JFIF:all= \
  -IFD0:Make="Fotrix" -IFD0:Model="Fotrix Z10" -IFD0:Software="PixelForge 2.1" \
  -IFD0:XResolution=180 -IFD0:YResolution=180 -IFD0:ResolutionUnit=inches \
  -IFD0:BitsPerSample="8 8 8" \
  -ExifIFD:DateTimeOriginal="2004:05:17 14:03:22" \
  -ExifIFD:ExposureTime=1/60 -ExifIFD:FNumber=2.8 -ExifIFD:ISO=100 \
  -ExifIFD:ExposureProgram#=2 -ExifIFD:Flash#=1 -ExifIFD:MeteringMode#=5 \
  -ExifIFD:LightSource#=1 -ExifIFD:FocalLength=6.3 -ExifIFD:SubjectDistance=0.5 \
  -ExifIFD:ExposureCompensation=-2/3 -ExifIFD:ShutterSpeedValue=1/60 \
  -ExifIFD:ApertureValue=2.8 -ExifIFD:ColorSpace#=1 \
  camera.jpg

# The same kind of picture with another colour space (65535, uncalibrated):
# only the colour space is read from it. JFIF says 300 dpi.
"${IM[@]}" -seed 11 -size 120x90 plasma:fractal -strip -density 300 -units PixelsPerInch -quality 70 uncalibrated.jpg
"${ET[@]}" -IFD0:Make="Fotrix" -IFD0:Model="Fotrix Z10" \
  -ExifIFD:DateTimeOriginal="2005:01:02 09:30:00" -ExifIFD:ISO=200 -ExifIFD:ColorSpace#=65535 \
  uncalibrated.jpg

# No EXIF at all; JFIF says 72 dpi.
"${IM[@]}" -size 100x75 gradient:'#3a6ea5-#f0c040' -strip -density 72 -units PixelsPerInch -quality 70 plain.jpg

# PNG (not stripped: that would drop pHYs) with pHYs of 2835 dots per metre (72 dpi) and an EXIF block (eXIf).
"${IM[@]}" -seed 3 -size 64x48 plasma:fractal -depth 8 -density 72 -units PixelsPerInch -colors 64 picture.png
"${ET[@]}" -Make="Fotrix" -ColorSpace#=1 -ISO=400 picture.png

# GIF (no resolution: 96 dpi).
"${IM[@]}" -seed 5 -size 40x30 plasma:fractal -strip -colors 16 picture.gif

# 24-bit BMP at 72 dpi (2835 dots per metre).
"${IM[@]}" -seed 9 -size 48x32 plasma:fractal -strip -density 72 -units PixelsPerInch -type TrueColor BMP3:picture.bmp

# TIFF, LZW, 150 dpi, three samples of 8 bits, with an EXIF directory.
"${IM[@]}" -seed 13 -size 64x48 plasma:fractal -strip -depth 8 -density 150 -units PixelsPerInch -compress lzw \
  -type TrueColor picture.tif
"${ET[@]}" -IFD0:Make="Fotrix" -IFD0:Model="Fotrix T1" -ExifIFD:ColorSpace#=1 \
  -ExifIFD:DateTimeOriginal="2006:11:30 23:59:59" -ExifIFD:FNumber=5.6 picture.tif

# EMF and WMF drawings, written field by field.
python3 make_metafiles.py

# A picture in each of the eight EXIF orientations. Upright it is 32 x 16:
# red top left, green top right, blue bottom left, yellow bottom right, in
# blocks of whole 8 x 8 cells so the colours survive compression. Each file
# stores it turned the other way round from what its orientation asks.
"${IM[@]}" -size 16x8 xc:red xc:lime +append \( -size 16x8 xc:blue xc:yellow +append \) -append upright.ppm
STORED=("" "-flop" "-rotate 180" "-flip" "-transpose" "-rotate 270" "-transverse" "-rotate 90")
for n in 1 2 3 4 5 6 7 8; do
  # shellcheck disable=SC2086
  "${IM[@]}" upright.ppm ${STORED[$((n - 1))]} -strip -sampling-factor 1x1 -quality 95 "oriented-$n.jpg"
  "${ET[@]}" -IFD0:Orientation#="$n" "oriented-$n.jpg"
done
rm upright.ppm

# A turned camera photo (orientation 6) whose embedded thumbnail differs
# from it: red and blue halves in the photo, green and yellow in the
# thumbnail, so a test sees which of the two was drawn. Upright the photo
# is 320 x 240 and the thumbnail 160 x 120; both are stored turned back.
"${IM[@]}" -size 160x240 xc:red xc:blue +append -rotate 270 -strip -quality 90 thumbnail.jpg
"${IM[@]}" -size 80x120 xc:lime xc:yellow +append -rotate 270 -strip -quality 90 thumbnail-small.jpg
"${ET[@]}" -IFD0:Orientation#=6 "-ThumbnailImage<=thumbnail-small.jpg" thumbnail.jpg
rm thumbnail-small.jpg
