# Writes the maskable icon's SVG: the application icon drawn smaller on a full square, so
# that whatever shape a phone cuts it to (a circle, a rounded square) leaves it whole.
#   cmake -DICON=icon.svg -DOUTPUT=icon-maskable.svg -P maskable_icon.cmake
file(READ ${ICON} source)
string(REGEX REPLACE ".*<svg[^>]*>" "" inner "${source}")
string(REGEX REPLACE "</svg>.*" "" inner "${inner}")
# Drawn at 55 % in the middle: its corners stay inside the circle of 40 % radius that
# every mask keeps.
file(WRITE ${OUTPUT}
     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" viewBox=\"0 0 48 48\">\n"
     "<rect width=\"48\" height=\"48\" fill=\"#FFFFFF\"/>\n"
     "<g transform=\"translate(10.8 10.8) scale(0.55)\">${inner}</g>\n</svg>\n")
