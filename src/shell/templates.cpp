// Panel templates. Each is one constant string: the rows padded to 77
// characters, then the field entries, exactly as panel() parses them. The
// padding and the entry text are produced at compile time so that a row
// typed one blank short cannot shift the field list.
//
// [SECTION] Builder
// [SECTION] Shell and command forms: SELECT SAVE SORT TIME MAGNIT OPTION
// [SECTION] Text screens: HELP INIT
// [SECTION] MAP family: MAP MAP1 MAP2 MAPS2..MAPS6
// [SECTION] Table
#include "shell/templates.h"

#include <cstddef>

namespace tw {

// [SECTION] Builder

namespace {

template <size_t N> struct PanText {
	char s[N];
};

// Right-aligned decimal; a number too wide for its slot stops compilation.
constexpr void put_int(char *d, int width, int v)
{
	unsigned u = v < 0 ? -v : v;
	char tmp[8] = {};
	int n = 0;
	do {
		tmp[n++] = (char)('0' + u % 10);
		u /= 10;
	} while (u);
	if (v < 0)
		tmp[n++] = '-';
	if (n > width)
		throw "field entry value too wide";
	for (int i = 0; i < width; i++)
		d[i] = i < width - n ? ' ' : tmp[width - 1 - i];
}

template <size_t N>
constexpr PanText<N> build_text(const char *const *rows, int nrow, const PanelField *f, int nf)
{
	PanText<N> t{};
	char *d = t.s;
	for (int k = 0; k < nrow; k++, d += PANEL_COLS) {
		int n = 0;
		for (; rows[k][n]; n++) {
			if (n == PANEL_COLS)
				throw "template row longer than 77 characters";
			d[n] = rows[k][n];
		}
		for (; n < PANEL_COLS; n++)
			d[n] = ' ';
	}
	for (int i = 0; i < nf; i++, d += FIELD_LEN) { // "cc,rrr,www "
		put_int(d, 2, f[i].col);
		d[2] = ',';
		put_int(d + 3, 3, f[i].row);
		d[6] = ',';
		put_int(d + 7, 3, f[i].code);
		d[10] = ' '; // keeps the next entry's column out of this code
	}
	*d = 0;
	return t;
}

template <size_t R, size_t F>
constexpr auto build(const char *const (&rows)[R], const PanelField (&f)[F])
{
	return build_text<R * PANEL_COLS + F * FIELD_LEN + 1>(rows, R, f, F);
}

template <size_t R> constexpr auto build(const char *const (&rows)[R])
{
	return build_text<R * PANEL_COLS + 1>(rows, R, nullptr, 0);
}

// [SECTION] Shell and command forms: SELECT SAVE SORT TIME MAGNIT OPTION

constexpr const char *select_rows[] = {
	"    Request : SELECT",
	"    Change parameters in () as you like and press Enter.",
	" 0. Data Source         (       )",
	" 1. Date/Time     From  ( +      /    /    )     (    :    :      )",
	"                  To    ( +      /    /    )     (    :    :      )",
	" 2. Region              (            )",
	" or Longitude -deg,min- (     )(    )(   ) --> (     )(    )(   )",
	"    Latitude  -deg,min- (    )(    )(   )  --> (    )(    )(   )",
	"   |Longitudes are measured eastward.|",
	" 3. Depth     -km-      (       )          --> (       )",
	" 4. Magnitude           (      )           --> (      )",
	" 5. You like to include events whose following item is undetermined? < Y/N >",
	"             Depth      (   )",
	"             Magnitude  (   )",
};
constexpr PanelField select_fields[] = {
	{26, 2, 5},
	{28, 3, 4}, {35, 3, 2}, {40, 3, 2}, {51, 3, 2}, {56, 3, 2}, {61, 3, 4},
	{28, 4, 4}, {35, 4, 2}, {40, 4, 2}, {51, 4, 2}, {56, 4, 2}, {61, 4, 4},
	{26, 5, 10},
	{26, 6, 3}, {33, 6, 2}, {39, 6, 1}, {49, 6, 3}, {56, 6, 2}, {62, 6, 1},
	{26, 7, 2}, {32, 7, 2}, {38, 7, 1}, {49, 7, 2}, {55, 7, 2}, {61, 7, 1},
	{26, 9, 5}, {49, 9, 5}, {26, 10, 4}, {49, 10, 4},
	{26, 12, 1}, {26, 13, 1},
};
constexpr auto select_pan = build(select_rows, select_fields);

constexpr const char *save_rows[] = {
	"    Request : SAVE",
	"    Specify options in () as you like and press Enter.",
	"",
	"    Pathname of the file where data will be saved",
	"    (                                                                  )",
	"         You may include a drive name like A: on Windows.",
	"         Blank means a current working directory.",
	"",
};
constexpr PanelField save_fields[] = {{6, 4, 164}};
constexpr auto save_pan = build(save_rows, save_fields);

constexpr const char *sort_rows[] = {
	"    Request : SORT",
	"    Specify items and sorting order in () as you like and press Enter.",
	"",
	"                       Item   Order      Sortable items       Valid order",
	"                 1st (      ) (   )   | TIME   LON    LAT     A:Ascending",
	"                 2nd (      ) (   )   | DEP    MAG            D:Descending",
	"",
	"     Keep the second item blank if you do not need it.",
	"    (The second sorting will be done by means of bubble sort,",
	"     and so that should take a long time.)",
	"",
};
constexpr PanelField sort_fields[] = {{23, 4, 4}, {32, 4, 1}, {23, 5, 4}, {32, 5, 1}};
constexpr auto sort_pan = build(sort_rows, sort_fields);

constexpr const char *time_rows[] = {
	"    Request : TIME",
	"    Specify attributes of the coordinates in () as you like and press Enter.",
	"          X-Axis :  Item       < TIME >",
	"                    Scaling    (     ) <--- LNR/LOG(Linear/Logarithmic)",
	"                    From       (      /    /    ) (    :    :       )",
	"                    To         (      /    /    ) (    :    :       )",
	"                    Tick Unit  (   )   <--- Y/M/D/H(Year/Month/Day/Hour)",
	"          Y-Axis :  Item       (     ) <--- FRQ/ACM/MAG",
	"                                           (Frequency/Accumulated/Magnitude)",
	"                    Scaling    (     ) <--- LNR/LOG(Linear/Logarithmic)",
	"                    Y1         (       )",
	"                    Y2         (       )",
	"",
};
constexpr PanelField time_fields[] = {
	{33, 3, 3},
	{33, 4, 4}, {40, 4, 2}, {45, 4, 2}, {52, 4, 2}, {57, 4, 2}, {62, 4, 5},
	{33, 5, 4}, {40, 5, 2}, {45, 5, 2}, {52, 5, 2}, {57, 5, 2}, {62, 5, 5},
	{33, 6, 1}, {33, 7, 3}, {33, 9, 3}, {33, 10, 5}, {33, 11, 5},
};
constexpr auto time_pan = build(time_rows, time_fields);

constexpr const char *magnit_rows[] = {
	"    Request : MAGNITUDE",
	"    Specify attributes of the coordinates in () as you like and press Enter.",
	"          X-Axis :  Item       < MAGNITUDE >",
	"                    Scaling    < LINEAR >",
	"                    From       (      )",
	"                    To         (      )",
	"                    Tick Unit  (      )",
	"          Y-Axis :  Item       (     )  <--- FRQ/ACM(Frequency/Accumulated)",
	"                    Scaling    (     )  <--- LNR/LOG(Linear/Logarithmic)",
	"                    Maximum    (        )",
	"",
};
constexpr PanelField magnit_fields[] = {
	{33, 4, 4}, {33, 5, 4}, {33, 6, 4}, {33, 7, 3}, {33, 8, 3}, {33, 9, 6},
};
constexpr auto magnit_pan = build(magnit_rows, magnit_fields);

constexpr const char *option_rows[] = {
	"    Request : OPTION",
	"    Specify options in () as you like and press Enter.",
	"",
	"    Pathname of the directory for data files",
	"    (                                                                  )",
	"    Pathname of the directory for auxiliary files",
	"    (                                                                  )",
	"         Examples: /home/qx/seis, c:\\data\\seis (Windows), @hostname (server)",
	"         If you keep this blank, the value of the SEIS environment variable",
	"         will be taken.  If both this and the variable are blank, a current",
	"         working directory will be assumed.",
	"",
	"    Printer Name",
	"    (                                                                  )",
	"         A printcap entry on UNIX, or a name in My Computer/Printers of",
	"         Windows.",
	"",
};
constexpr PanelField option_fields[] = {{6, 4, 164}, {6, 6, 164}, {6, 13, 164}};
constexpr auto option_pan = build(option_rows, option_fields);

// [SECTION] Text screens: HELP INIT

constexpr const char *help_rows[] = {
	"'Region' always has higher priority than 'Latitude' and 'Longitude'.",
	"If you like to specify an area by coordinates, 'Region' should be made blank.",
	"",
	"<Regions> (See the file 'regions'. You may edit this.)",
	"Geographical Area: WORLD,PACIFIC,ATLANTIC,INDIAN,NWPAC(NW Pacific),AUSTRALIA,",
	"   AFRICA,NAMERICA,CAMERICA,SAMERICA,USSR,CHINA,ASEAN,INDIA,ARAB,EUROPE,JAPAN",
	"Japanese district:",
	"   HOKKAIDO,TOHOKU,KANTO,IZU,TOKAI,CHUBU,KINKI,NANKAI,CHUGOKU,SHIKOKU,KYUSHU",
	"",
	"<Data Sources> ISC,ISCNE: International Seismological Centre",
	"               PDE      : USGS (Preliminary Determination of Earthquakes)",
	"               JMA      : Japan Meteorological Agency",
	"               VELA     : Dr Vela's Catalog",
	"               RIKA     : Rika Nenpyo",
	"               JPN      : JMA + VELA + RIKA",
	"               JUNEC    : Japanese National Universities",
	"",
	"<Map Data>     EARTH: World with plate boundaries",
	"               WORLD: fine World by ISC",
	"               NWPAC: North-western Pacific, compiled by the Tarnwell team",
	"               JAPAN: fine Japan, compiled by the Tarnwell team",
};
constexpr auto help_pan = build(help_rows);

constexpr const char *init_rows[] = {
	"", "", "", "", "", "", "",
	"                                  Tarnwell",
	"",
	"",
	"",
	"                                     by",
	"",
	"                           The Tarnwell developers",
	"                    Earthquake Catalogue Viewing Project",
};
constexpr auto init_pan = build(init_rows);

// [SECTION] MAP family: MAP MAP1 MAP2 MAPS2..MAPS6

constexpr const char *map_rows[] = {
	"    Request : MAP",
	"    Change parameters in () as you like and press Enter.",
	" 1. Map Dataset         (          )",
	" 2. Region              (            )",
	" or Longitude -deg,min- (     )(    ) (   ) --> (     )(    ) (   )",
	"    Latitude  -deg,min- (    )(    ) (   )  --> (    )(    ) (   )",
	" 3. Do you like to change symbol assignments? < Y/N >      (   )",
	" 4. Maximum depth for associated cross-section charts -km- (     )",
	"   |If you give 0km, no associated charts will be drawn.    Even if drawn,|",
	"   |one of them will appear incomplete, but complete in a PostScript copy.|",
	"",
};
constexpr PanelField map_fields[] = {
	{26, 2, 8}, {26, 3, 10},
	{26, 4, 3}, {33, 4, 2}, {40, 4, 1}, {50, 4, 3}, {57, 4, 2}, {64, 4, 1},
	{26, 5, 2}, {32, 5, 2}, {39, 5, 1}, {50, 5, 2}, {56, 5, 2}, {63, 5, 1},
	{61, 6, 1}, {61, 7, 3},
};
constexpr auto map_pan = build(map_rows, map_fields);

constexpr const char *map1_rows[] = {
	"    Request : MAP",
	"    Change color and size of symbols and their corresponding depth",
	"    and magnitude ranges in () as you like and press Enter.",
	"       Depth      class     range         color     |",
	"                  DEP0     (     ) -      (   )     |  1 : Blue (Cross)",
	"                  DEP1     (     ) -      (   )     |  2 : Green (Triangle)",
	"                  DEP2     (     ) -      (   )     |  3 : Cyan (Rv.Triangle)",
	"                  DEP3     (     ) -      (   )     |  4 : Red (Circle)",
	"                  DEP4     (     ) -      (   )     |  5 : Magenta (Square)",
	"                  DEP5     (     ) -      (   )     |  6 : Yellow (Diamond)",
	"                  DEP6     (     ) -      (   )     |  7 : White (Plus)",
	"                  unknown   DEP0",
	"       Magnitude  class       range",
	"                  MAG0       (      ) -      Classes below a class with",
	"                  MAG1       (      ) -      a blank range will not work.",
	"                  MAG2       (      ) -",
	"                  MAG3       (      ) -",
	"                  MAG4       (      ) -",
	"                  MAG5       (      ) -",
	"                  MAG6       (      ) -",
	"                  MAG7       (      ) -",
	"                  unknown     MAG0",
	"       Size      base size <MAG0> : (      )pixels   factor : (      )",
};
constexpr PanelField map1_fields[] = {
	{29, 4, 3}, {44, 4, 1}, {29, 5, 3}, {44, 5, 1}, {29, 6, 3}, {44, 6, 1},
	{29, 7, 3}, {44, 7, 1}, {29, 8, 3}, {44, 8, 1}, {29, 9, 3}, {44, 9, 1},
	{29, 10, 3}, {44, 10, 1},
	{31, 13, 4}, {31, 14, 4}, {31, 15, 4}, {31, 16, 4},
	{31, 17, 4}, {31, 18, 4}, {31, 19, 4}, {31, 20, 4},
	{38, 22, 4}, {64, 22, 4},
};
constexpr auto map1_pan = build(map1_rows, map1_fields);

constexpr const char *map2_rows[] = {
	"    Request : MAP SUBFUNCTIONS",
	"    Mapping Area:",
	"    Region              <            >",
	" or Longitude -deg,min- <     ><    > <   > --> <     ><    > <   >",
	"    Latitude  -deg,min- <    ><    > <   >  --> <    ><    > <   >",
	"",
	"    Specify a subfunction number and press Enter.",
	"                         (   )    1 : Find          4 : Space-Time",
	"                                  2 : Select        5 : Active Faults",
	"                                  3 : Cross-Section 6 : Stations",
	"",
	"    Do you need epicenters to be overlaid with the map? < Y/N >  (   )",
	"   (For active faults or stations the map will be always overlaid.)",
	"",
};
constexpr PanelField map2_fields[] = {
	{26, 2, -10},
	{26, 3, -3}, {33, 3, -2}, {40, 3, -1}, {50, 3, -3}, {57, 3, -2}, {64, 3, -1},
	{26, 4, -2}, {32, 4, -2}, {39, 4, -1}, {50, 4, -2}, {56, 4, -2}, {63, 4, -1},
	{27, 7, 1}, {67, 11, 1},
};
constexpr auto map2_pan = build(map2_rows, map2_fields);

constexpr const char *maps2_rows[] = {
	"    Request : MAP SELECT",
	"    Type Y or N and press Enter.",
	"    Points    Longitude-deg,min-   Latitude-deg,min-",
	"       1st    <     ><    ><   >   <    ><    ><   >",
	"       2nd    <     ><    ><   >   <    ><    ><   >",
	"       3rd    <     ><    ><   >   <    ><    ><   >",
	"       4th    <     ><    ><   >   <    ><    ><   >  Undetermined?",
	"    Depth -km-     <       >    -->     <       >        <   >",
	"    Magnitude      <      >     -->     <      >         <   >",
	"",
	"    Are these all right? <Y/N>  (   )",
	"",
};
constexpr PanelField maps2_fields[] = {
	{16, 3, -3}, {23, 3, -2}, {29, 3, -1}, {37, 3, -3}, {43, 3, -2}, {49, 3, -1},
	{16, 4, -3}, {23, 4, -2}, {29, 4, -1}, {37, 4, -3}, {43, 4, -2}, {49, 4, -1},
	{16, 5, -3}, {23, 5, -2}, {29, 5, -1}, {37, 5, -3}, {43, 5, -2}, {49, 5, -1},
	{16, 6, -3}, {23, 6, -2}, {29, 6, -1}, {37, 6, -3}, {43, 6, -2}, {49, 6, -1},
	{21, 7, -5}, {42, 7, -5}, {59, 7, -1},
	{21, 8, -4}, {42, 8, -4}, {59, 8, -1},
	{34, 10, 1},
};
constexpr auto maps2_pan = build(maps2_rows, maps2_fields);

// The three profile points shown on CROSS-SECTION and SPACE-TIME alike.
#define PROFILE_POINTS \
	{31, 3, -3}, {38, 3, -2}, {44, 3, -1}, {52, 3, -3}, {58, 3, -2}, {64, 3, -1}, \
	{31, 4, -3}, {38, 4, -2}, {44, 4, -1}, {52, 4, -3}, {58, 4, -2}, {64, 4, -1}, \
	{31, 5, -3}, {38, 5, -2}, {44, 5, -1}, {52, 5, -3}, {58, 5, -2}, {64, 5, -1}

constexpr const char *maps3_rows[] = {
	"    Request : MAP CROSS-SECTION",
	"    Change parameters in () as you like and press Enter.",
	"                   Points    Longitude-deg,min-   Latitude-deg,min-",
	"    Projection Axis   1st    <     ><    ><   >   <    ><    ><   >",
	"                      2nd    <     ><    ><   >   <    ><    ><   >",
	"    Width/Direction          <     ><    ><   >   <    ><    ><   >",
	"",
	"    Drawing Range:",
	"       X-axis <distance>  : X1 (      )",
	"                            X2 (      )",
	"       Y-axis <depth>     : Y1 (      )   Events with unknown depths will",
	"                            Y2 (      )   be plotted at 0km.",
	"",
};
constexpr PanelField maps3_fields[] = {
	PROFILE_POINTS,
	{33, 8, 4}, {33, 9, 4}, {33, 10, 4}, {33, 11, 4},
};
constexpr auto maps3_pan = build(maps3_rows, maps3_fields);

constexpr const char *maps4_rows[] = {
	"    Request : MAP SPACE-TIME",
	"    Change parameters in () as you like and press Enter.",
	"                   Points    Longitude-deg,min-   Latitude-deg,min-",
	"    Projection Axis   1st    <     ><    ><   >   <    ><    ><   >",
	"                      2nd    <     ><    ><   >   <    ><    ><   >",
	"    Width/Direction          <     ><    ><   >   <    ><    ><   >",
	"",
	"    Drawing Range:",
	"       X-axis <time>   :  From (       /    /    ) (    :    :      )",
	"                          To   (       /    /    ) (    :    :      )",
	"                     Tick Unit (   )  <---Y/M/D/H <year/month/day/hour>",
	"       Y-axis <distance> : Y1  (      )",
	"                           Y2  (      )",
	"",
};
constexpr PanelField maps4_fields[] = {
	PROFILE_POINTS,
	{33, 8, 4}, {41, 8, 2}, {46, 8, 2}, {53, 8, 2}, {58, 8, 2}, {63, 8, 4},
	{33, 9, 4}, {41, 9, 2}, {46, 9, 2}, {53, 9, 2}, {58, 9, 2}, {63, 9, 4},
	{33, 10, 1}, {33, 11, 4}, {33, 12, 4},
};
constexpr auto maps4_pan = build(maps4_rows, maps4_fields);
#undef PROFILE_POINTS

constexpr const char *maps5_rows[] = {
	"    Request : MAP ACTIVE-FAULTS",
	"    Give the name of a fault dataset, specify colors corresponding",
	"    to the activeness of fauls, and press Enter.",
	"            Fault Dataset  (          )",
	"            Activeness     color      |",
	"             A             (   )      |  1 : Blue",
	"             B and A-B     (   )      |  2 : Green",
	"             C and B-C     (   )      |  3 : Cyan",
	"             unknown       (   )      |  4 : Red",
	"                                      |  5 : Magenta",
	"                                      |  6 : Yellow",
	"                                      |  7 : White",
};
constexpr PanelField maps5_fields[] = {{29, 3, 8}, {29, 5, 1}, {29, 6, 1}, {29, 7, 1}, {29, 8, 1}};
constexpr auto maps5_pan = build(maps5_rows, maps5_fields);

constexpr const char *maps6_rows[] = {
	"    Request : MAP STATIONS",
	"    Give the name of a station dataset and press Enter.",
	"",
	"    Station Dataset    (          )",
	"    Do you like to get station codes to be printed? < Y/N >  (   )",
	"",
};
constexpr PanelField maps6_fields[] = {{25, 3, 8}, {63, 4, 1}};
constexpr auto maps6_pan = build(maps6_rows, maps6_fields);

template <size_t N> constexpr short count(const char *const (&)[N]) { return (short)N; }
template <size_t N> constexpr short count(const PanelField (&)[N]) { return (short)N; }

} // namespace

// [SECTION] Table

// number, name, template, text rows, fields
constexpr PanelEntry panel_table[] = {
	{PAN_SELECT, "SELECT", select_pan.s, count(select_rows), count(select_fields)},
	{PAN_SAVE, "SAVE", save_pan.s, count(save_rows), count(save_fields)},
	{PAN_SORT, "SORT", sort_pan.s, count(sort_rows), count(sort_fields)},
	{PAN_MAP, "MAP", map_pan.s, count(map_rows), count(map_fields)},
	{PAN_TIME, "TIME", time_pan.s, count(time_rows), count(time_fields)},
	{PAN_MAGNIT, "MAGNIT", magnit_pan.s, count(magnit_rows), count(magnit_fields)},
	{PAN_OPTION, "OPTION", option_pan.s, count(option_rows), count(option_fields)},
	{PAN_MAP1, "MAP1", map1_pan.s, count(map1_rows), count(map1_fields)},
	{PAN_MAP2, "MAP2", map2_pan.s, count(map2_rows), count(map2_fields)},
	{PAN_MAPS2, "MAPS2", maps2_pan.s, count(maps2_rows), count(maps2_fields)},
	{PAN_MAPS3, "MAPS3", maps3_pan.s, count(maps3_rows), count(maps3_fields)},
	{PAN_MAPS4, "MAPS4", maps4_pan.s, count(maps4_rows), count(maps4_fields)},
	{PAN_MAPS5, "MAPS5", maps5_pan.s, count(maps5_rows), count(maps5_fields)},
	{PAN_MAPS6, "MAPS6", maps6_pan.s, count(maps6_rows), count(maps6_fields)},
	{PAN_HELP, "HELP", help_pan.s, count(help_rows), 0},
	{PAN_INIT, "INIT", init_pan.s, count(init_rows), 0},
};
constexpr int npanel_table = sizeof panel_table / sizeof panel_table[0];

const PanelEntry *find_panel(int number)
{
	for (const PanelEntry &e : panel_table)
		if (e.number == number)
			return &e;
	return nullptr;
}

} // namespace tw
