#!/bin/sh
# Rebuilds everything in data/ from the public raw data.
#   tools/build-data.sh [RAW_DIR]      (default: ../shared/data from the repository root)
# Builds tarnwell-data in build-data/, writes data/dataset/ and data/aux/, and
# keeps every command it ran and every import report in data/build-log.txt.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RAW=$(cd "${1:-$ROOT/../shared/data}" && pwd)
BUILD=${TARNWELL_DATA_BUILD:-$ROOT/build-data}
OUT=$ROOT/data
LOG=$OUT/build-log.txt
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

cmake -S "$ROOT/tools" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 >/dev/null
TD=$BUILD/tarnwell-data

rm -rf "$OUT/dataset" "$OUT/aux"
mkdir -p "$OUT/dataset" "$OUT/aux"
: > "$LOG"
# Logs the command with paths relative to the roots, then runs it.
run() {
  echo "\$ $*" | sed "s|$RAW|RAW|g; s|$OUT|data|g; s|$TD|tarnwell-data|g; s|$TMP|TMP|g; s|$ROOT/||g" >> "$LOG"
  "$@" 2>&1 | sed "s|$RAW|RAW|g; s|$OUT|data|g; s|$TMP|TMP|g" >> "$LOG"
  echo >> "$LOG"
}

C=$RAW/catalogs
DS=$OUT/dataset
JAPAN=128/148/24/46

# Catalogues, one source each. Yearly files before 1926 are never read by
# SELECT, and ISC sources only from 1964.
run "$TD" import --source JMA --out "$DS" jma:"$C/jma_japan_quakes_1926-2007_m4.5.csv"
run "$TD" import --source ISC --from 1964 --out "$DS" isc-gem:"$C/isc-gem-cat_v1.05_1900-2009.csv"
run "$TD" import --source PDE --from 1926 --fill-years --to 2007 --out "$DS" \
  centennial:"$C/usgs_centennial_Y2K.CAT.txt"
# NCEDC writes 0.0 for a magnitude it did not determine.
run "$TD" import --source NCEDC --zero-mag unknown --out "$DS" \
  ncedc:"$C/ncedc_dd_nocal_1984-2023.csv.xz"
# Event types other than earthquake are left out by default.
run "$TD" import --source USGS --out "$DS" \
  geojson:"$C/usgs_all_week_2018-02-07.geojson"

# Historical catalogues of the Japan region, merged from several sources in
# order of preference; an event of a later source on the same or the next day
# within 150 km of one already taken is left out. GHEC events of Japan are
# those with JMA magnitudes, NOAA's those whose location starts with JAPAN.
run "$TD" import --single RIKA.B --to 1884 --box $JAPAN --out "$DS" \
  "ghec@jma:$C/ghec_v1.0_1000-1903.txt" "noaa@JAPAN*:$C/noaa_ncei_significant_earthquakes_2024-04-12.tsv"
run "$TD" import --single VELA.B --split-year 1926 --from 1885 --to 1963 --box $JAPAN --out "$DS" \
  isc-gem:"$C/isc-gem-cat_v1.05_1900-2009.csv" centennial:"$C/usgs_centennial_Y2K.CAT.txt" \
  "ghec@jma:$C/ghec_v1.0_1000-1903.txt" "noaa@JAPAN*:$C/noaa_ncei_significant_earthquakes_2024-04-12.tsv"

# Base maps. Border lines are 'B', coastlines 'C', plate boundaries 'P'.
G=$RAW/geography
F=$RAW/faults
AUX=$OUT/aux
xz -dc "$G/ne_10m_coastline.geojson.xz" > "$TMP/ne_10m_coastline.geojson"
run "$TD" map --out "$AUX/earth.m" C:geojson:"$G/ne_110m_coastline.geojson" \
  B:geojson:"$G/ne_110m_admin_0_boundary_lines_land.geojson" P:geojson:"$F/PB2002_boundaries.geojson"
run "$TD" map --out "$AUX/nwpac.m" --clip 90/180/0/90 C:geojson:"$G/ne_50m_coastline.geojson" \
  B:geojson:"$G/ne_50m_admin_0_boundary_lines_land.geojson"
run "$TD" map --out "$AUX/world.m" --resolution normal C:geojson:"$TMP/ne_10m_coastline.geojson" \
  B:geojson:"$G/ne_10m_admin_0_boundary_lines_land.geojson"
run "$TD" map --out "$AUX/japan.m" --clip 120/150/20/50 --resolution fine \
  C:geojson:"$G/ne_10m_coastline_japan_120-150E_20-50N.geojson" \
  B:geojson:"$G/ne_10m_admin_0_boundary_lines_land.geojson"
# Faults: class letters F-I from each fault's slip rate.
run "$TD" map --out "$AUX/japan.f" --clip 120/150/20/50 --resolution fine \
  -:geojson:"$F/gem_active_faults_2017-05_japan_120-150E_20-50N.geojson"

# Stations, one file per data source name (the STATIONS panel offers the
# source of the last selection). NIED codes have 6 characters and do not fit.
S=$RAW/stations
run "$TD" stations --out "$AUX/jma.s" "$S/jma_historical_stations.csv"
run "$TD" stations --out "$AUX/wwssn.s" "$S/wwssn_stations.csv"
for s in jpn rika vela; do run cp "$AUX/jma.s" "$AUX/$s.s"; done
for s in pde isc ncedc usgs; do run cp "$AUX/wwssn.s" "$AUX/$s.s"; done

# Named regions for SELECT and MAP.
run cp "$ROOT/tools/regions.txt" "$AUX/regions"

# Region-name tables from where the bundled catalogues put their events:
# world from Flinn-Engdahl (the report gives the share of ISC, PDE and USGS
# events named after their own region and after another place; quiet
# countries are weighed by the NOAA damaging earthquakes there), Japan from
# prefecture polygons and the JMA events.
run "$TD" regions --events "$DS" --world "$RAW/regions/flinn_engdahl_1995" \
  --felt "$C/noaa_ncei_significant_earthquakes_2024-04-12.tsv" \
  --japan "$RAW/regions/japan/japan_prefectures.geojson" --out "$AUX"
