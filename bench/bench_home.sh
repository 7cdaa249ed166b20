# Shared by the bench scripts (sourced): a program directory for moonhaven-cli whose WPBs.ini
# names one pattern base, "bench", built from the given record folder.
#
#   write_bench_home HOME RECORDS   (HOME is created; RECORDS without a trailing "/")
write_bench_home() {
  mkdir -p "$1"
  cat > "$1/WPBs.ini" <<INI
[WPBS]
TOTAL=1
DEFAULT=0
[WPB_0]
TITLE0=bench
TITLE1=bench
TITLE2=bench
SGFPATH=$2/
FILENAME=bench
INI
}
