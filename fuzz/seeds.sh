#!/usr/bin/env bash
# Builds the seed corpora of the fuzz targets into $1/<target>/ from the
# bundled data (small cuts of it) and a few hand-made messages.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$1
ds=$top/data/dataset aux=$top/data/aux
SEP=$'\n--tw--\n'

# seed TARGET NAME: standard input becomes one seed.
seed() { mkdir -p "$out/$1"; cat > "$out/$1/$2"; }
bytes() { printf "$@"; }                        # printf escapes, no newline
recs() { head -c $((4 + 16 * $2)) "$1"; }       # head and n records of a file
mark() { [ "$1" = end ] && bytes '\xff\xff' || bytes '\xfe\xff'; }
field() { printf '%-16.16s' "$1"; }             # one blank-padded request field
# part FILE FROM N: N bytes from byte FROM (1-based). No pipe whose reader
# stops early, so no SIGPIPE under pipefail.
part() { dd if="$1" bs=1 skip=$(($2 - 1)) count="$3" status=none; }

dataset_seeds() {
	{ bytes '\x00\x00\x00\x00'; recs "$ds/pde-79.b" 100; mark end; } | seed dataset pde
	{ bytes '\x09\xf0\x01\x55'; recs "$ds/jma-95.b" 60; mark end; } | seed dataset jma-full
	{ bytes '\x01\x00\x00\x00'; recs "$ds/vela.b" 30; mark cont; printf %s "$SEP"
	  recs "$ds/vela.b2" 30; mark end; } | seed dataset vela
	{ bytes '\x02\x00\x00\x00'
	  for p in "" 2 3; do recs "$ds/ncedc-84.b$p" 20; bytes '\xfd\xff'; printf %s "$SEP"; done
	  recs "$ds/ncedc-84.b4" 20; mark end; } | seed dataset ncedc-parts
}

regions_seeds() {
	{ bytes '\x00NWPAC'; printf %s "$SEP"; cat "$aux/regions"; } | seed regions select
	{ bytes '\x01JAPAN'; printf %s "$SEP"; cat "$aux/regions"; } | seed regions map
}

region_names_seeds() {
	{ bytes '\x01\x23\x00\x8a\x23'; cat "$aux/japan.mes"; printf %s "$SEP"
	  cat "$aux/japan.nam"; } | seed region_names japan
	{ bytes '\x00\x0a\x03\x78\x0a'; cat "$aux/world.mes"; printf %s "$SEP"
	  cat "$aux/world.nam"; } | seed region_names world
}

# A box over Japan, colours 5 2 3.
dmap_seeds() {
	{ bytes '\x00\xd8\xea\xa3\xc6\x05\x02\x03'; head -c 6000 "$aux/japan.m"; } | seed dmap japan-m
	{ bytes '\x01\xd8\xea\xa3\xc6\x05\x02\x03'; head -c 6000 "$aux/japan.f"; } | seed dmap japan-f
	{ bytes '\x02\x00\xff\x00\xff\x01\x02\x03'; head -c 6000 "$aux/world.m"; } | seed dmap world-ps
	# A coarse map in two files: a coastline, a 'Z' record, a border, the end.
	{ bytes '\x00\xd8\xea\xa3\xc6\x05\x02\x03C\x00\x00'
	  bytes 'C1\x02\xb8\x0b\xa0\x0f\xc8\x32\xb0\x36\xac\x0d\xbc\x34\x10\x0e\x20\x35'
	  bytes 'Z2'; printf %s "$SEP"
	  bytes 'B1\x02\xb8\x0b\xa0\x0f\xc8\x32\xb0\x36\xb8\x0b\xc8\x32\xa0\x0f\xb0\x36X\x00'
	} | seed dmap chain
}

stations_seeds() {
	{ bytes '\x01\xd8\xea\xa3\xc6'; cat "$aux/jma.s"; } | seed stations japan-codes
	{ bytes '\x00\x00\xff\x00\xff'; cat "$aux/pde.s"; } | seed stations world
}

setup_seeds() {
	{ printf '%s\n' /data "PS  " ps "PDE  " 1979 01 01 00 00 00.00 1979 12 31 23 59 59.99 \
		NWPAC 120 00 E 180 00 E 00 00 N 60 00 N 000.0 999.9 +0.0 +9.9 Y Y NWPAC \
		"7 8 1.500000 1.250000" "0 20 40 60 80 200 600 " "4 5 6 2 3 1 7 " \
		"0.000000 1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 " \
		000 /aux; } | seed setup first-run
	printf '/data\r\nLP  \r\nlp0\r\nJMA\r\n2001\r\n' | seed setup short-crlf
}

status_ok() { bytes '\x01'; head -c 15 /dev/zero; }

client_seeds() {
	{ bytes '\x00'; status_ok; bytes '    3'; part "$ds/pde-79.b" 5 48
	  mark end; } | seed client events
	{ bytes '\x00'; status_ok; bytes '    2'; part "$ds/pde-79.b" 5 32; mark cont
	  status_ok; bytes '    1'; part "$ds/pde-79.b" 37 16; mark end
	} | seed client two-chunks
	{ bytes '\x04'; status_ok; bytes '    5'; part "$ds/pde-79.b" 5 80
	  mark end; } | seed client store-full
	{ bytes '\x00\x00PDE-79.B'; head -c 7 /dev/zero; } | seed client missing
	{ bytes '\x01'; status_ok; printf '%6d' "$(wc -c < "$aux/regions")"; cat "$aux/regions"
	  bytes '     0'; } | seed client file
	{ bytes '\x09'; status_ok; bytes '  100'; head -c 100 "$aux/japan.nam"; bytes '    20'
	  tail -c 20 "$aux/japan.nam"; bytes '     0'; } | seed client file-names
	{ bytes '\x0a'; status_ok; bytes '    2'; part "$ds/pde-79.b" 5 32; mark end
	  printf %s "$SEP"; status_ok; bytes '    1'; part "$ds/pde-80.b" 5 16
	  mark end; } | seed client select
}

request() { # source year from to: the 29 fields of a SELECT, then acknowledgements
	field fuzzhost; field "$1"; field "$2"
	for f in "$3" 01 01 00 00 00.00 "$4" 12 31 23 59 59.99 180 00W 180 00 90 00S 90 00 \
		000.0 999.9 -9.9 +9.9 Y Y; do field "$f"; done
	for i in 1 2 3; do field 1; done
}

server_seeds() {
	request PDE 1990 1990 1990 | seed server pde-90
	request PDE 1991 1991 1991 | seed server pde-91-chunks
	request JMA 1926 1926 1926 | seed server jma-parts
	request VELA 0 1900 1990 | seed server vela-whole
	request NONE 1990 1990 1990 | seed server missing
	{ field fuzzhost; field :; field regions; } | seed server file
	{ field fuzzhost; field :; field big.m; } | seed server file-big
	{ field fuzzhost; field :; field ../data/pde-90.b; } | seed server file-outside
}

# Catalogue readers: heads of the raw catalogues beside the repository
# (when there) and a few hand-made files with the forms they must take.
# The first byte of a csv seed chooses the preset, in fuzz_csv.cpp's order.
raw=${RAW_DIR:-$top/../shared/data}/catalogs
head_of() { [ -e "$raw/$1" ] && head -c "$2" "$raw/$1" || true; }
tools_seeds() {
	{ bytes '\x01'; head_of isc-gem-cat_v1.05_1900-2009.csv 3000; } | seed csv isc-gem
	{ bytes '\x03'; head_of jma_japan_quakes_1926-2007_m4.5.csv 1500; } | seed csv jma
	{ bytes '\x04'; head_of noaa_ncei_significant_earthquakes_2024-04-12.tsv 3000; } | seed csv noaa
	{ bytes '\x05'; head_of ghec_v1.0_1000-1903.txt 3000; } | seed csv ghec
	{ bytes '\x00'; printf '%s\n' time,latitude,longitude,depth,mag,magType,id,type \
		'2018-02-07T23:58:36.140Z,61.2,-150.1,12.4,1.2,ml,ak1,earthquake' \
		'2011-03-11T14:46:24.1234+09:00,38.297,142.373,29,9.1,mww,us1,earthquake' \
		'2018-02-07T09:00:00-08:00,34.1,-117.2,0.1,1.6,ml,ci1,quarry blast'; } | seed csv comcat
	{ bytes '\x07'; printf '%s\n' time,latitude,longitude,depth,mag,id,source \
		'1995-01-17T05:46:52.0Z,34.600000,135.000000,16.0,7.3,JMA-1995-1,JMA' \
		'1995-06-00T12:00:00.0Z,-10.500000,359.5,,,JMA-1995-2,JMA'; } | seed csv export
	head_of usgs_all_week_2018-02-07.geojson 6000 | seed geojson usgs-week
	printf '%s' '{"type":"FeatureCollection","features":[{"type":"Feature","properties":{"mag":-0.8,' \
		'"time":1517961600000,"type":"earthquake"},"geometry":{"type":"Point","coordinates":[-116.8,33.5,-1.2]}},' \
		'{"type":"Feature","properties":{"mag":null,"time":-1517875199950,"type":"explosion"},' \
		'"geometry":{"type":"Point","coordinates":[350.25,38.1,null]}}]}' | seed geojson feed
	cat <<-'XML' | seed quakeml events
	<?xml version="1.0"?>
	<q:quakeml xmlns:q="http://quakeml.org/xmlns/quakeml/1.2" xmlns="http://quakeml.org/xmlns/bed/1.2">
	 <eventParameters publicID="smi:x/p">
	  <event publicID="smi:x/e1"><preferredOriginID>smi:x/o2</preferredOriginID>
	   <preferredMagnitudeID>smi:x/m1</preferredMagnitudeID><type>earthquake</type>
	   <origin publicID="smi:x/o1"><time><value>2011-03-11T05:46:00Z</value></time>
	    <latitude><value>10</value></latitude><longitude><value>10</value></longitude></origin>
	   <origin publicID="smi:x/o2"><time><value>2011-03-11T14:46:24.12+09:00</value></time>
	    <latitude><value>38.297</value></latitude><longitude><value>142.373</value></longitude>
	    <depth><value>29000</value></depth></origin>
	   <magnitude publicID="smi:x/m1"><mag><value>9.1</value></mag></magnitude>
	  </event>
	  <event publicID="smi:x/e2"><type>quarry blast</type>
	   <origin><time><value>1995-01-16T20:46:52-09:00</value></time>
	    <latitude><value>-34.6</value></latitude><longitude><value>-135</value></longitude></origin>
	  </event>
	 </eventParameters>
	</q:quakeml>
	XML
}

fdsn_seeds() {
	printf %s 'catalog=JMA&starttime=1995-01-01&endtime=1995-12-31&minmagnitude=6&format=text' |
		seed fdsn standard
	printf %s 'catalog=vela&minlon=170&maxlon=-170&minlat=-40&maxlat=40&orderby=magnitude&limit=5&offset=3' |
		seed fdsn box-180
	printf %s 'lat=35.5&lon=139.1&minradius=1&maxradius=3.5&mindepth=0&maxdepth=70&nodata=404' |
		seed fdsn radius
	printf %s 'eventid=JMA-1995-123&format=xml&includeallmagnitudes=true' | seed fdsn eventid
}

dataset_seeds; regions_seeds; region_names_seeds; dmap_seeds; stations_seeds; setup_seeds
client_seeds; server_seeds; tools_seeds; fdsn_seeds
