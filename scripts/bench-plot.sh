#!/bin/sh
# scripts/bench-plot.sh OUT PNG: the plot of time against folder count, from OUT/plot.dat (made
# by scripts/bench-table.py): whole-process runs on the left, in-process figures on the right,
# both on logarithmic axes, so a straight line of slope one is linear growth.
set -eu
OUT=$1
PNG=$2
gnuplot <<GNUPLOT
set terminal pngcairo size 960,400 font "Liberation Sans,9"
set output "$PNG"
set datafile missing "?"
set logscale xy
set xrange [700:1400000]
set xlabel "folders"
set key top left
set grid
set multiplot layout 1,2
set title "whole process (hyperfine mean; 1,000,000: one run)"
set ylabel "seconds"
plot "$OUT/plot.dat" using 1:2 with linespoints title "find -type d", \
     "" using 1:3 with linespoints title "trellisane-cli listing", \
     "" using 1:4 with linespoints title "floor: find + renameat2 loop", \
     "" using 1:5 with linespoints title "trellisane-cli --apply", \
     "" using 1:6 with linespoints title "perl rename"
set title "in process (Google Benchmark)"
set ylabel "milliseconds"
plot "$OUT/plot.dat" using 1:7 with linespoints title "walk", \
     "" using 1:8 with linespoints title "sort", \
     "" using 1:9 with linespoints title "preview pass", \
     "" using 1:10 with linespoints title "carrying paths", \
     "" using 1:11 with linespoints title "rename pass"
unset multiplot
GNUPLOT
