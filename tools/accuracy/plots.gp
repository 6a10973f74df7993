# Error against argument for GAMMA, BESSEL and WEBER, from the data that
# `quorel-accuracy sweep --plots DIR` writes (x, E, bound per line).
#   gnuplot -e "data='DIR'; out='docs/accuracy'" tools/accuracy/plots.gp
set terminal png size 720,360 font "DejaVuSans,9"
set logscale y
set format y "10^{%L}"
set yrange [1e-19:1e-3]
set grid ytics
set key top left opaque
at_floor(e) = e < 1e-19 ? 1e-19 : e
# E = 0 (an exact result) is drawn on the floor.

set output out."/gamma.png"
set title "GAMMA: E against x"
set xlabel "x"
set xrange [-10:172]
plot data."/gamma.dat" using 1:3 with points pt 7 ps 0.3 lc rgb "#bbbbbb" title "bound max(1e-12, κ·1e-15) (grey)", \
     data."/gamma.dat" using 1:(at_floor($2)) with points pt 7 ps 0.3 lc rgb "#1f77b4" title "E (blue)"

do for [fn in "jn yn"] {
    name = fn eq "jn" ? "BESSEL" : "WEBER"
    set terminal png size 720,1000 font "DejaVuSans,9"
    set output out."/".(fn eq "jn" ? "bessel" : "weber").".png"
    set multiplot layout 5,1 title name.": E against x for orders 0, 1, 5, 20, 100"
    set xrange [0:150]
    set xlabel ""
    unset title
    do for [n in "0 1 5 20 100"] {
        if (n eq "100") { set xlabel "x" }
        f = data."/".fn."_".n.".dat"
        plot f using 1:3 with points pt 7 ps 0.3 lc rgb "#bbbbbb" title "bound (grey)", \
             f using 1:(at_floor($2)) with points pt 7 ps 0.3 lc rgb "#1f77b4" title "E (blue), n = ".n
    }
    unset multiplot
}
