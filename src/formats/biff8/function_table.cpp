// The built-in function table of BIFF8 formulas, indexes 0 to 367, generated
// once from the published function list (name, fixed argument count, minimum
// argument count). Do not edit by hand: regenerate the whole table instead.
#include "formats/biff8/function_table.h"

namespace plu {

const std::array<TExcelFunction, kExcelFunctionCount> TExcelFunctions = {{
    {0, "COUNT", true},              // 0 (variable)
    {2, "IF", true},                 // 1 (variable)
    {1, "ISNA"},                     // 2
    {1, "ISERROR"},                  // 3
    {0, "SUM", true},                // 4 (variable)
    {1, "AVERAGE", true},            // 5 (variable)
    {1, "MIN", true},                // 6 (variable)
    {1, "MAX", true},                // 7 (variable)
    {0, "ROW", true},                // 8 (variable)
    {0, "COLUMN", true},             // 9 (variable)
    {0, "NA"},                       // 10
    {2, "NPV", true},                // 11 (variable)
    {1, "STDEV", true},              // 12 (variable)
    {1, "DOLLAR", true},             // 13 (variable)
    {2, "FIXED", true},              // 14 (variable)
    {1, "SIN"},                      // 15
    {1, "COS"},                      // 16
    {1, "TAN"},                      // 17
    {1, "ATAN"},                     // 18
    {0, "PI"},                       // 19
    {1, "SQRT"},                     // 20
    {1, "EXP"},                      // 21
    {1, "LN"},                       // 22
    {1, "LOG10"},                    // 23
    {1, "ABS"},                      // 24
    {1, "INT"},                      // 25
    {1, "SIGN"},                     // 26
    {2, "ROUND"},                    // 27
    {2, "LOOKUP", true},             // 28 (variable)
    {2, "INDEX", true},              // 29 (variable)
    {2, "REPT"},                     // 30
    {3, "MID"},                      // 31
    {1, "LEN"},                      // 32
    {1, "VALUE"},                    // 33
    {0, "TRUE"},                     // 34
    {0, "FALSE"},                    // 35
    {1, "AND", true},                // 36 (variable)
    {1, "OR", true},                 // 37 (variable)
    {1, "NOT"},                      // 38
    {2, "MOD"},                      // 39
    {3, "DCOUNT"},                   // 40
    {3, "DSUM"},                     // 41
    {3, "DAVERAGE"},                 // 42
    {3, "DMIN"},                     // 43
    {3, "DMAX"},                     // 44
    {3, "DSTDEV"},                   // 45
    {1, "VAR", true},                // 46 (variable)
    {3, "DVAR"},                     // 47
    {2, "TEXT"},                     // 48
    {1, "LINEST", true},             // 49 (variable)
    {1, "TREND", true},              // 50 (variable)
    {1, "LOGEST", true},             // 51 (variable)
    {1, "GROWTH", true},             // 52 (variable)
    {1, "GOTO"},                     // 53
    {0, "HALT", true},               // 54 (variable)
    {0, "RETURN", true},             // 55 (variable)
    {3, "PV", true},                 // 56 (variable)
    {3, "FV", true},                 // 57 (variable)
    {3, "NPER", true},               // 58 (variable)
    {3, "PMT", true},                // 59 (variable)
    {3, "RATE", true},               // 60 (variable)
    {3, "MIRR"},                     // 61
    {1, "IRR", true},                // 62 (variable)
    {0, "RAND"},                     // 63
    {2, "MATCH", true},              // 64 (variable)
    {3, "DATE"},                     // 65
    {3, "TIME"},                     // 66
    {1, "DAY"},                      // 67
    {1, "MONTH"},                    // 68
    {1, "YEAR"},                     // 69
    {1, "WEEKDAY", true},            // 70 (variable)
    {1, "HOUR"},                     // 71
    {1, "MINUTE"},                   // 72
    {1, "SECOND"},                   // 73
    {0, "NOW"},                      // 74
    {1, "AREAS"},                    // 75
    {1, "ROWS"},                     // 76
    {1, "COLUMNS"},                  // 77
    {3, "OFFSET", true},             // 78 (variable)
    {2, "ABSREF"},                   // 79
    {2, "RELREF"},                   // 80
    {0, "ARGUMENT", true},           // 81 (variable)
    {2, "SEARCH", true},             // 82 (variable)
    {1, "TRANSPOSE"},                // 83
    {0, "ERROR", true},              // 84 (variable)
    {0, "STEP"},                     // 85
    {1, "TYPE"},                     // 86
    {0, "ECHO", true},               // 87 (variable)
    {1, "SET.NAME", true},           // 88 (variable)
    {0, "CALLER"},                   // 89
    {1, "DEREF"},                    // 90
    {0, "WINDOWS", true},            // 91 (variable)
    {4, "SERIES"},                   // 92
    {0, "DOCUMENTS", true},          // 93 (variable)
    {0, "ACTIVE.CELL"},              // 94
    {0, "SELECTION"},                // 95
    {0, "RESULT", true},             // 96 (variable)
    {2, "ATAN2"},                    // 97
    {1, "ASIN"},                     // 98
    {1, "ACOS"},                     // 99
    {2, "CHOOSE", true},             // 100 (variable)
    {3, "HLOOKUP", true},            // 101 (variable)
    {3, "VLOOKUP", true},            // 102 (variable)
    {0, "LINKS", true},              // 103 (variable)
    {1, "INPUT", true},              // 104 (variable)
    {1, "ISREF"},                    // 105
    {1, "GET.FORMULA"},              // 106
    {1, "GET.NAME", true},           // 107 (variable)
    {2, "SET.VALUE"},                // 108
    {1, "LOG", true},                // 109 (variable)
    {1, "EXEC", true},               // 110 (variable)
    {1, "CHAR"},                     // 111
    {1, "LOWER"},                    // 112
    {1, "UPPER"},                    // 113
    {1, "PROPER"},                   // 114
    {1, "LEFT", true},               // 115 (variable)
    {1, "RIGHT", true},              // 116 (variable)
    {2, "EXACT"},                    // 117
    {1, "TRIM"},                     // 118
    {4, "REPLACE"},                  // 119
    {3, "SUBSTITUTE", true},         // 120 (variable)
    {1, "CODE"},                     // 121
    {0, "NAMES", true},              // 122 (variable)
    {0, "DIRECTORY", true},          // 123 (variable)
    {2, "FIND", true},               // 124 (variable)
    {1, "CELL", true},               // 125 (variable)
    {1, "ISERR"},                    // 126
    {1, "ISTEXT"},                   // 127
    {1, "ISNUMBER"},                 // 128
    {1, "ISBLANK"},                  // 129
    {1, "T"},                        // 130
    {1, "N"},                        // 131
    {1, "FOPEN", true},              // 132 (variable)
    {1, "FCLOSE"},                   // 133
    {1, "FSIZE"},                    // 134
    {1, "FREADLN"},                  // 135
    {2, "FREAD"},                    // 136
    {2, "FWRITELN"},                 // 137
    {2, "FWRITE"},                   // 138
    {1, "FPOS", true},               // 139 (variable)
    {1, "DATEVALUE"},                // 140
    {1, "TIMEVALUE"},                // 141
    {3, "SLN"},                      // 142
    {4, "SYD"},                      // 143
    {4, "DDB", true},                // 144 (variable)
    {1, "GET.DEF", true},            // 145 (variable)
    {1, "REFTEXT", true},            // 146 (variable)
    {1, "TEXTREF", true},            // 147 (variable)
    {1, "INDIRECT", true},           // 148 (variable)
    {0, "REGISTER", true},           // 149 (variable)
    {1, "CALL", true},               // 150 (variable)
    {0, "ADD.BAR", true},            // 151 (variable)
    {1, "ADD.MENU", true},           // 152 (variable)
    {3, "ADD.COMMAND", true},        // 153 (variable)
    {4, "ENABLE.COMMAND", true},     // 154 (variable)
    {4, "CHECK.COMMAND", true},      // 155 (variable)
    {4, "RENAME.COMMAND", true},     // 156 (variable)
    {1, "SHOW.BAR"},                 // 157
    {2, "DELETE.MENU", true},        // 158 (variable)
    {3, "DELETE.COMMAND", true},     // 159 (variable)
    {1, "GET.CHART.ITEM", true},     // 160 (variable)
    {1, "DIALOG.BOX"},               // 161
    {1, "CLEAN"},                    // 162
    {1, "MDETERM"},                  // 163
    {1, "MINVERSE"},                 // 164
    {2, "MMULT"},                    // 165
    {0, "FILES", true},              // 166 (variable)
    {4, "IPMT", true},               // 167 (variable)
    {4, "PPMT", true},               // 168 (variable)
    {0, "COUNTA", true},             // 169 (variable)
    {0, "CANCEL.KEY", true},         // 170 (variable)
    {3, "FOR", true},                // 171 (variable)
    {1, "WHILE"},                    // 172
    {0, "BREAK"},                    // 173
    {0, "NEXT"},                     // 174
    {2, "INITIATE"},                 // 175
    {2, "REQUEST"},                  // 176
    {3, "POKE"},                     // 177
    {2, "EXECUTE"},                  // 178
    {1, "TERMINATE"},                // 179
    {1, "RESTART"},                  // 180
    {1, "HELP"},                     // 181
    {0, "GET.BAR", true},            // 182 (variable)
    {0, "PRODUCT", true},            // 183 (variable)
    {1, "FACT"},                     // 184
    {1, "GET.CELL", true},           // 185 (variable)
    {1, "GET.WORKSPACE"},            // 186
    {1, "GET.WINDOW", true},         // 187 (variable)
    {1, "GET.DOCUMENT", true},       // 188 (variable)
    {3, "DPRODUCT"},                 // 189
    {1, "ISNONTEXT"},                // 190
    {0, "GET.NOTE", true},           // 191 (variable)
    {0, "NOTE", true},               // 192 (variable)
    {1, "STDEVP", true},             // 193 (variable)
    {1, "VARP", true},               // 194 (variable)
    {3, "DSTDEVP"},                  // 195
    {3, "DVARP"},                    // 196
    {1, "TRUNC", true},              // 197 (variable)
    {1, "ISLOGICAL"},                // 198
    {3, "DCOUNTA"},                  // 199
    {1, "DELETE.BAR"},               // 200
    {1, "UNREGISTER"},               // 201
    {0, "202", true},                // 202 (variable)
    {0, "203", true},                // 203 (variable)
    {1, "USDOLLAR", true},           // 204 (variable)
    {2, "FINDB", true},              // 205 (variable)
    {2, "SEARCHB", true},            // 206 (variable)
    {4, "REPLACEB"},                 // 207
    {1, "LEFTB", true},              // 208 (variable)
    {1, "RIGHTB", true},             // 209 (variable)
    {3, "MIDB"},                     // 210
    {1, "LENB"},                     // 211
    {2, "ROUNDUP"},                  // 212
    {2, "ROUNDDOWN"},                // 213
    {1, "ASC"},                      // 214
    {1, "DBCS"},                     // 215
    {2, "RANK", true},               // 216 (variable)
    {0, "217", true},                // 217 (variable)
    {0, "218", true},                // 218 (variable)
    {2, "ADDRESS", true},            // 219 (variable)
    {2, "DAYS360", true},            // 220 (variable)
    {0, "TODAY"},                    // 221
    {5, "VDB", true},                // 222 (variable)
    {0, "ELSE"},                     // 223
    {1, "ELSE.IF"},                  // 224
    {0, "END.IF"},                   // 225
    {1, "FOR.CELL", true},           // 226 (variable)
    {1, "MEDIAN", true},             // 227 (variable)
    {1, "SUMPRODUCT", true},         // 228 (variable)
    {1, "SINH"},                     // 229
    {1, "COSH"},                     // 230
    {1, "TANH"},                     // 231
    {1, "ASINH"},                    // 232
    {1, "ACOSH"},                    // 233
    {1, "ATANH"},                    // 234
    {3, "DGET"},                     // 235
    {2, "CREATE.OBJECT", true},      // 236 (variable)
    {1, "VOLATILE"},                 // 237
    {0, "LAST.ERROR"},               // 238
    {0, "CUSTOM.UNDO", true},        // 239 (variable)
    {0, "CUSTOM.REPEAT", true},      // 240 (variable)
    {2, "FORMULA.CONVERT", true},    // 241 (variable)
    {2, "GET.LINK.INFO", true},      // 242 (variable)
    {1, "TEXT.BOX", true},           // 243 (variable)
    {1, "INFO"},                     // 244
    {0, "GROUP"},                    // 245
    {1, "GET.OBJECT", true},         // 246 (variable)
    {4, "DB", true},                 // 247 (variable)
    {0, "PAUSE", true},              // 248 (variable)
    {0, "249", true},                // 249 (variable)
    {0, "250", true},                // 250 (variable)
    {1, "RESUME"},                   // 251
    {2, "FREQUENCY"},                // 252
    {0, "ADD.TOOLBAR", true},        // 253 (variable)
    {1, "DELETE.TOOLBAR"},           // 254
    {1, "255", true},                // 255 (variable)
    {1, "RESET.TOOLBAR"},            // 256
    {1, "EVALUATE"},                 // 257
    {2, "GET.TOOLBAR"},              // 258
    {1, "GET.TOOL", true},           // 259 (variable)
    {1, "SPELLING.CHECK", true},     // 260 (variable)
    {1, "ERROR.TYPE"},               // 261
    {1, "APP.TITLE"},                // 262
    {1, "WINDOW.TITLE"},             // 263
    {0, "SAVE.TOOLBAR", true},       // 264 (variable)
    {3, "ENABLE.TOOL"},              // 265
    {3, "PRESS.TOOL"},               // 266
    {3, "REGISTER.ID"},              // 267
    {1, "GET.WORKBOOK", true},       // 268 (variable)
    {1, "AVEDEV", true},             // 269 (variable)
    {3, "BETADIST", true},           // 270 (variable)
    {1, "GAMMALN"},                  // 271
    {3, "BETAINV", true},            // 272 (variable)
    {4, "BINOMDIST"},                // 273
    {2, "CHIDIST"},                  // 274
    {2, "CHIINV"},                   // 275
    {2, "COMBIN"},                   // 276
    {3, "CONFIDENCE"},               // 277
    {3, "CRITBINOM"},                // 278
    {1, "EVEN"},                     // 279
    {3, "EXPONDIST"},                // 280
    {3, "FDIST"},                    // 281
    {3, "FINV"},                     // 282
    {1, "FISHER"},                   // 283
    {1, "FISHERINV"},                // 284
    {2, "FLOOR"},                    // 285
    {4, "GAMMADIST"},                // 286
    {3, "GAMMAINV"},                 // 287
    {2, "CEILING"},                  // 288
    {4, "HYPGEOMDIST"},              // 289
    {3, "LOGNORMDIST"},              // 290
    {3, "LOGINV"},                   // 291
    {3, "NEGBINOMDIST"},             // 292
    {4, "NORMDIST"},                 // 293
    {1, "NORMSDIST"},                // 294
    {3, "NORMINV"},                  // 295
    {1, "NORMSINV"},                 // 296
    {3, "STANDARDIZE"},              // 297
    {1, "ODD"},                      // 298
    {2, "PERMUT"},                   // 299
    {3, "POISSON"},                  // 300
    {3, "TDIST"},                    // 301
    {4, "WEIBULL"},                  // 302
    {2, "SUMXMY2"},                  // 303
    {2, "SUMX2MY2"},                 // 304
    {2, "SUMX2PY2"},                 // 305
    {2, "CHITEST"},                  // 306
    {2, "CORREL"},                   // 307
    {2, "COVAR"},                    // 308
    {3, "FORECAST"},                 // 309
    {2, "FTEST"},                    // 310
    {2, "INTERCEPT"},                // 311
    {2, "PEARSON"},                  // 312
    {2, "RSQ"},                      // 313
    {2, "STEYX"},                    // 314
    {2, "SLOPE"},                    // 315
    {4, "TTEST"},                    // 316
    {3, "PROB", true},               // 317 (variable)
    {1, "DEVSQ", true},              // 318 (variable)
    {1, "GEOMEAN", true},            // 319 (variable)
    {1, "HARMEAN", true},            // 320 (variable)
    {0, "SUMSQ", true},              // 321 (variable)
    {1, "KURT", true},               // 322 (variable)
    {1, "SKEW", true},               // 323 (variable)
    {2, "ZTEST", true},              // 324 (variable)
    {2, "LARGE"},                    // 325
    {2, "SMALL"},                    // 326
    {2, "QUARTILE"},                 // 327
    {2, "PERCENTILE"},               // 328
    {2, "PERCENTRANK", true},        // 329 (variable)
    {1, "MODE", true},               // 330 (variable)
    {2, "TRIMMEAN"},                 // 331
    {2, "TINV"},                     // 332
    {0, "333", true},                // 333 (variable)
    {0, "MOVIE.COMMAND", true},      // 334 (variable)
    {0, "GET.MOVIE", true},          // 335 (variable)
    {0, "CONCATENATE", true},        // 336 (variable)
    {2, "POWER"},                    // 337
    {0, "PIVOT.ADD.DATA", true},     // 338 (variable)
    {0, "GET.PIVOT.TABLE", true},    // 339 (variable)
    {0, "GET.PIVOT.FIELD", true},    // 340 (variable)
    {0, "GET.PIVOT.ITEM", true},     // 341 (variable)
    {1, "RADIANS"},                  // 342
    {1, "DEGREES"},                  // 343
    {2, "SUBTOTAL", true},           // 344 (variable)
    {2, "SUMIF", true},              // 345 (variable)
    {2, "COUNTIF"},                  // 346
    {1, "COUNTBLANK"},               // 347
    {0, "SCENARIO.GET", true},       // 348 (variable)
    {0, "OPTIONS.LISTS.GET", true},  // 349 (variable)
    {4, "ISPMT"},                    // 350
    {3, "DATEDIF"},                  // 351
    {1, "DATESTRING"},               // 352
    {2, "NUMBERSTRING"},             // 353
    {1, "ROMAN", true},              // 354 (variable)
    {0, "OPEN.DIALOG", true},        // 355 (variable)
    {0, "SAVE.DIALOG", true},        // 356 (variable)
    {0, "VIEW.GET", true},           // 357 (variable)
    {2, "GETPIVOTDATA", true},       // 358 (variable)
    {1, "HYPERLINK", true},          // 359 (variable)
    {1, "PHONETIC"},                 // 360
    {1, "AVERAGEA", true},           // 361 (variable)
    {1, "MAXA", true},               // 362 (variable)
    {1, "MINA", true},               // 363 (variable)
    {1, "STDEVPA", true},            // 364 (variable)
    {1, "VARPA", true},              // 365 (variable)
    {1, "STDEVA", true},             // 366 (variable)
    {1, "VARA", true},               // 367 (variable)
}};

}  // namespace plu
