#include "formats/eps_prolog.h"

namespace nettor {

// Procedures the pattern body uses:
//   K, k        stroke / fill colour in CMYK (through _k); P strokes and p
//               fills in it (g, G the same in gray)
//   d           setdash          m, l    moveto, lineto snapped to device pixels
//   S           stroke with P    u, U    group markers
//   z           font, size, leading, tracking, alignment
//   e ... t T   a text object: e concatenates the text matrix inside gsave
//               (fill mode), t shows a string, T ends the object
//   Z           copies a font under a new name with encoding differences
// A fill or stroke that fails is caught, and an error text is drawn at the
// centre of the failed path's bounding box (_ef keeps the error text itself
// from reporting again).
const std::vector<std::string>& epsProcedureDefinitions()
{
    static const std::vector<std::string> lines = {
        "/Version 0 def",
        "/Revision 0 def",
        "/bdef {bind def} bind def",
        "/ldef {load def} bdef",
        "/xdef {exch def} bdef",
        "/_K {/_k4 xdef /_k3 xdef /_k2 xdef /_k1 xdef 1 _k1 _k4 add sub dup 0 lt {pop 0} if "
        "1 _k2 _k4 add sub dup 0 lt {pop 0} if 1 _k3 _k4 add sub dup 0 lt {pop 0} if "
        "setrgbcolor} bdef",
        "/_k /setcmybcolor where {/setcmybcolor get} {/_K load} ifelse def",
        "/_pc {0 setgray} def",
        "/_Pc {0 setgray} def",
        "/p {_pc _fill} def",
        "/P {_Pc _stroke} def",
        "/g {/_gf xdef /_pc {_gf setgray} def} bdef",
        "/G {/_gs xdef /_Pc {_gs setgray} def} bdef",
        "/k {/_f4 xdef /_f3 xdef /_f2 xdef /_f1 xdef /_pc {_f1 _f2 _f3 _f4 _k} def} bdef",
        "/K {/_s4 xdef /_s3 xdef /_s2 xdef /_s1 xdef /_Pc {_s1 _s2 _s3 _s4 _k} def} bdef",
        "/d /setdash ldef",
        "/_i currentflat def",
        "/i {dup 0 eq {pop _i} if setflat} bdef",
        "/j /setlinejoin ldef",
        "/J /setlinecap ldef",
        "/M /setmiterlimit ldef",
        "/w /setlinewidth ldef",
        "/_R {.25 sub round .25 add} bdef",
        "/_r {transform _R exch _R exch itransform} bdef",
        "/c {_r curveto} bdef",
        "/C /c ldef",
        "/v {_r currentpoint 6 2 roll curveto} bdef",
        "/V /v ldef",
        "/y {_r 2 copy curveto} bdef",
        "/Y /y ldef",
        "/l {_r lineto} bdef",
        "/L /l ldef",
        "/m {_r moveto} bdef",
        "/_e {{pathbbox} stopped {0 0 0 0} if /_y2 xdef /_x2 xdef /_y1 xdef /_x1 xdef} bdef",
        "/_E {/_es xdef newpath /Courier 20 0 0 1 z [0.966 0.259 -0.259 0.966 _x1 _x2 add 2 div "
        "_y1 _y2 add 2 div] e _es t T} bdef",
        "/_ef false def",
        "/_fill {{fill} stopped {_ef not {/_ef true def _e (ERROR: can't fill, increase flatness) "
        "_E /_ef false def} if newpath} if} bdef",
        "/_stroke {{stroke} stopped {_ef not {/_ef true def _e (ERROR: can't stroke, increase "
        "flatness) _E /_ef false def} if newpath} if} bdef",
        "/n /newpath ldef",
        "/N /newpath ldef",
        "/F {p} bdef",
        "/f {closepath F} bdef",
        "/S {P} bdef",
        "/s {closepath S} bdef",
        "/B {gsave F grestore S} bdef",
        "/b {closepath B} bdef",
        "/_s {_ax 0 3 -1 roll ashow} bdef",
        "/_S {false charpath} bdef",
        "/_A {dup _w _af mul neg 0 rmoveto} bdef",
        "/_L {0 _ld neg translate 0 0 moveto} bdef",
        "/_w {dup stringwidth pop exch length _ax mul add} bdef",
        "/_z [0 0.5 1] def",
        "/z {/_al xdef /_tr xdef /_ld xdef /_fs xdef /_fn xdef _fn findfont _fs scalefont "
        "setfont _al 0 lt _al 2 gt or {/_al 0 def} if /_af _z _al cvi get def "
        "/_ax _tr _fs mul 1000 div def} bdef",
        "/_g matrix def",
        "/_G matrix def",
        "/_D {_g currentmatrix pop gsave concat 0 0 moveto} bdef",
        "/e {/_tm 0 def _D} bdef",
        "/r {/_tm 1 def _D} bdef",
        "/a {/_tm 2 def _D} bdef",
        "/o {/_tm 3 def _D} bdef",
        "/t {_A _tm 0 eq {_pc _s} if _tm 1 eq {_S P} if _tm 2 eq {dup gsave _pc _s grestore _S P} "
        "if "
        "_tm 3 eq {_w 0 rmoveto} if} bdef",
        "/T {grestore} bdef",
        "/u {} bdef",
        "/U {} bdef",
        "/Z {findfont dup length dict begin {1 index /FID ne {def} {pop pop} ifelse} forall "
        "exch /Encoding Encoding 256 array copy def 0 exch {dup type /integertype eq "
        "{exch pop} {Encoding 2 index 3 -1 roll put 1 add} ifelse} forall pop "
        "currentdict end definefont pop} bdef",
    };
    return lines;
}

} // namespace nettor
