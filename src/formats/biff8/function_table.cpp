// The built-in function table of BIFF8 formulas, indexes 0 to 367, generated
// once from the published function list (name, fixed argument count, minimum
// argument count). Do not edit by hand: regenerate the whole table instead.
#include "formats/biff8/function_table.h"

namespace plu {

const std::array<TExcelFunction, kExcelFunctionCount> TExcelFunctions = {{
    {0, "COUNT"},                // 0 (variable)
    {2, "IF"},                   // 1 (variable)
    {1, "ISNA"},                 // 2
    {1, "ISERROR"},              // 3
    {0, "SUM"},                  // 4 (variable)
    {1, "AVERAGE"},              // 5 (variable)
    {1, "MIN"},                  // 6 (variable)
    {1, "MAX"},                  // 7 (variable)
    {0, "ROW"},                  // 8 (variable)
    {0, "COLUMN"},               // 9 (variable)
    {0, "NA"},                   // 10
    {2, "NPV"},                  // 11 (variable)
    {1, "STDEV"},                // 12 (variable)
    {1, "DOLLAR"},               // 13 (variable)
    {2, "FIXED"},                // 14 (variable)
    {1, "SIN"},                  // 15
    {1, "COS"},                  // 16
    {1, "TAN"},                  // 17
    {1, "ATAN"},                 // 18
    {0, "PI"},                   // 19
    {1, "SQRT"},                 // 20
    {1, "EXP"},                  // 21
    {1, "LN"},                   // 22
    {1, "LOG10"},                // 23
    {1, "ABS"},                  // 24
    {1, "INT"},                  // 25
    {1, "SIGN"},                 // 26
    {2, "ROUND"},                // 27
    {2, "LOOKUP"},               // 28 (variable)
    {2, "INDEX"},                // 29 (variable)
    {2, "REPT"},                 // 30
    {3, "MID"},                  // 31
    {1, "LEN"},                  // 32
    {1, "VALUE"},                // 33
    {0, "TRUE"},                 // 34
    {0, "FALSE"},                // 35
    {1, "AND"},                  // 36 (variable)
    {1, "OR"},                   // 37 (variable)
    {1, "NOT"},                  // 38
    {2, "MOD"},                  // 39
    {3, "DCOUNT"},               // 40
    {3, "DSUM"},                 // 41
    {3, "DAVERAGE"},             // 42
    {3, "DMIN"},                 // 43
    {3, "DMAX"},                 // 44
    {3, "DSTDEV"},               // 45
    {1, "VAR"},                  // 46 (variable)
    {3, "DVAR"},                 // 47
    {2, "TEXT"},                 // 48
    {1, "LINEST"},               // 49 (variable)
    {1, "TREND"},                // 50 (variable)
    {1, "LOGEST"},               // 51 (variable)
    {1, "GROWTH"},               // 52 (variable)
    {1, "GOTO"},                 // 53
    {0, "HALT"},                 // 54 (variable)
    {0, "RETURN"},               // 55 (variable)
    {3, "PV"},                   // 56 (variable)
    {3, "FV"},                   // 57 (variable)
    {3, "NPER"},                 // 58 (variable)
    {3, "PMT"},                  // 59 (variable)
    {3, "RATE"},                 // 60 (variable)
    {3, "MIRR"},                 // 61
    {1, "IRR"},                  // 62 (variable)
    {0, "RAND"},                 // 63
    {2, "MATCH"},                // 64 (variable)
    {3, "DATE"},                 // 65
    {3, "TIME"},                 // 66
    {1, "DAY"},                  // 67
    {1, "MONTH"},                // 68
    {1, "YEAR"},                 // 69
    {1, "WEEKDAY"},              // 70 (variable)
    {1, "HOUR"},                 // 71
    {1, "MINUTE"},               // 72
    {1, "SECOND"},               // 73
    {0, "NOW"},                  // 74
    {1, "AREAS"},                // 75
    {1, "ROWS"},                 // 76
    {1, "COLUMNS"},              // 77
    {3, "OFFSET"},               // 78 (variable)
    {2, "ABSREF"},               // 79
    {2, "RELREF"},               // 80
    {0, "ARGUMENT"},             // 81 (variable)
    {2, "SEARCH"},               // 82 (variable)
    {1, "TRANSPOSE"},            // 83
    {0, "ERROR"},                // 84 (variable)
    {0, "STEP"},                 // 85
    {1, "TYPE"},                 // 86
    {0, "ECHO"},                 // 87 (variable)
    {1, "SET.NAME"},             // 88 (variable)
    {0, "CALLER"},               // 89
    {1, "DEREF"},                // 90
    {0, "WINDOWS"},              // 91 (variable)
    {4, "SERIES"},               // 92
    {0, "DOCUMENTS"},            // 93 (variable)
    {0, "ACTIVE.CELL"},          // 94
    {0, "SELECTION"},            // 95
    {0, "RESULT"},               // 96 (variable)
    {2, "ATAN2"},                // 97
    {1, "ASIN"},                 // 98
    {1, "ACOS"},                 // 99
    {2, "CHOOSE"},               // 100 (variable)
    {3, "HLOOKUP"},              // 101 (variable)
    {3, "VLOOKUP"},              // 102 (variable)
    {0, "LINKS"},                // 103 (variable)
    {1, "INPUT"},                // 104 (variable)
    {1, "ISREF"},                // 105
    {1, "GET.FORMULA"},          // 106
    {1, "GET.NAME"},             // 107 (variable)
    {2, "SET.VALUE"},            // 108
    {1, "LOG"},                  // 109 (variable)
    {1, "EXEC"},                 // 110 (variable)
    {1, "CHAR"},                 // 111
    {1, "LOWER"},                // 112
    {1, "UPPER"},                // 113
    {1, "PROPER"},               // 114
    {1, "LEFT"},                 // 115 (variable)
    {1, "RIGHT"},                // 116 (variable)
    {2, "EXACT"},                // 117
    {1, "TRIM"},                 // 118
    {4, "REPLACE"},              // 119
    {3, "SUBSTITUTE"},           // 120 (variable)
    {1, "CODE"},                 // 121
    {0, "NAMES"},                // 122 (variable)
    {0, "DIRECTORY"},            // 123 (variable)
    {2, "FIND"},                 // 124 (variable)
    {1, "CELL"},                 // 125 (variable)
    {1, "ISERR"},                // 126
    {1, "ISTEXT"},               // 127
    {1, "ISNUMBER"},             // 128
    {1, "ISBLANK"},              // 129
    {1, "T"},                    // 130
    {1, "N"},                    // 131
    {1, "FOPEN"},                // 132 (variable)
    {1, "FCLOSE"},               // 133
    {1, "FSIZE"},                // 134
    {1, "FREADLN"},              // 135
    {2, "FREAD"},                // 136
    {2, "FWRITELN"},             // 137
    {2, "FWRITE"},               // 138
    {1, "FPOS"},                 // 139 (variable)
    {1, "DATEVALUE"},            // 140
    {1, "TIMEVALUE"},            // 141
    {3, "SLN"},                  // 142
    {4, "SYD"},                  // 143
    {4, "DDB"},                  // 144 (variable)
    {1, "GET.DEF"},              // 145 (variable)
    {1, "REFTEXT"},              // 146 (variable)
    {1, "TEXTREF"},              // 147 (variable)
    {1, "INDIRECT"},             // 148 (variable)
    {0, "REGISTER"},             // 149 (variable)
    {1, "CALL"},                 // 150 (variable)
    {0, "ADD.BAR"},              // 151 (variable)
    {1, "ADD.MENU"},             // 152 (variable)
    {3, "ADD.COMMAND"},          // 153 (variable)
    {4, "ENABLE.COMMAND"},       // 154 (variable)
    {4, "CHECK.COMMAND"},        // 155 (variable)
    {4, "RENAME.COMMAND"},       // 156 (variable)
    {1, "SHOW.BAR"},             // 157
    {2, "DELETE.MENU"},          // 158 (variable)
    {3, "DELETE.COMMAND"},       // 159 (variable)
    {1, "GET.CHART.ITEM"},       // 160 (variable)
    {1, "DIALOG.BOX"},           // 161
    {1, "CLEAN"},                // 162
    {1, "MDETERM"},              // 163
    {1, "MINVERSE"},             // 164
    {2, "MMULT"},                // 165
    {0, "FILES"},                // 166 (variable)
    {4, "IPMT"},                 // 167 (variable)
    {4, "PPMT"},                 // 168 (variable)
    {0, "COUNTA"},               // 169 (variable)
    {0, "CANCEL.KEY"},           // 170 (variable)
    {3, "FOR"},                  // 171 (variable)
    {1, "WHILE"},                // 172
    {0, "BREAK"},                // 173
    {0, "NEXT"},                 // 174
    {2, "INITIATE"},             // 175
    {2, "REQUEST"},              // 176
    {3, "POKE"},                 // 177
    {2, "EXECUTE"},              // 178
    {1, "TERMINATE"},            // 179
    {1, "RESTART"},              // 180
    {1, "HELP"},                 // 181
    {0, "GET.BAR"},              // 182 (variable)
    {0, "PRODUCT"},              // 183 (variable)
    {1, "FACT"},                 // 184
    {1, "GET.CELL"},             // 185 (variable)
    {1, "GET.WORKSPACE"},        // 186
    {1, "GET.WINDOW"},           // 187 (variable)
    {1, "GET.DOCUMENT"},         // 188 (variable)
    {3, "DPRODUCT"},             // 189
    {1, "ISNONTEXT"},            // 190
    {0, "GET.NOTE"},             // 191 (variable)
    {0, "NOTE"},                 // 192 (variable)
    {1, "STDEVP"},               // 193 (variable)
    {1, "VARP"},                 // 194 (variable)
    {3, "DSTDEVP"},              // 195
    {3, "DVARP"},                // 196
    {1, "TRUNC"},                // 197 (variable)
    {1, "ISLOGICAL"},            // 198
    {3, "DCOUNTA"},              // 199
    {1, "DELETE.BAR"},           // 200
    {1, "UNREGISTER"},           // 201
    {0, "202"},                  // 202 (variable)
    {0, "203"},                  // 203 (variable)
    {1, "USDOLLAR"},             // 204 (variable)
    {2, "FINDB"},                // 205 (variable)
    {2, "SEARCHB"},              // 206 (variable)
    {4, "REPLACEB"},             // 207
    {1, "LEFTB"},                // 208 (variable)
    {1, "RIGHTB"},               // 209 (variable)
    {3, "MIDB"},                 // 210
    {1, "LENB"},                 // 211
    {2, "ROUNDUP"},              // 212
    {2, "ROUNDDOWN"},            // 213
    {1, "ASC"},                  // 214
    {1, "DBCS"},                 // 215
    {2, "RANK"},                 // 216 (variable)
    {0, "217"},                  // 217 (variable)
    {0, "218"},                  // 218 (variable)
    {2, "ADDRESS"},              // 219 (variable)
    {2, "DAYS360"},              // 220 (variable)
    {0, "TODAY"},                // 221
    {5, "VDB"},                  // 222 (variable)
    {0, "ELSE"},                 // 223
    {1, "ELSE.IF"},              // 224
    {0, "END.IF"},               // 225
    {1, "FOR.CELL"},             // 226 (variable)
    {1, "MEDIAN"},               // 227 (variable)
    {1, "SUMPRODUCT"},           // 228 (variable)
    {1, "SINH"},                 // 229
    {1, "COSH"},                 // 230
    {1, "TANH"},                 // 231
    {1, "ASINH"},                // 232
    {1, "ACOSH"},                // 233
    {1, "ATANH"},                // 234
    {3, "DGET"},                 // 235
    {2, "CREATE.OBJECT"},        // 236 (variable)
    {1, "VOLATILE"},             // 237
    {0, "LAST.ERROR"},           // 238
    {0, "CUSTOM.UNDO"},          // 239 (variable)
    {0, "CUSTOM.REPEAT"},        // 240 (variable)
    {2, "FORMULA.CONVERT"},      // 241 (variable)
    {2, "GET.LINK.INFO"},        // 242 (variable)
    {1, "TEXT.BOX"},             // 243 (variable)
    {1, "INFO"},                 // 244
    {0, "GROUP"},                // 245
    {1, "GET.OBJECT"},           // 246 (variable)
    {4, "DB"},                   // 247 (variable)
    {0, "PAUSE"},                // 248 (variable)
    {0, "249"},                  // 249 (variable)
    {0, "250"},                  // 250 (variable)
    {1, "RESUME"},               // 251
    {2, "FREQUENCY"},            // 252
    {0, "ADD.TOOLBAR"},          // 253 (variable)
    {1, "DELETE.TOOLBAR"},       // 254
    {1, "255"},                  // 255 (variable)
    {1, "RESET.TOOLBAR"},        // 256
    {1, "EVALUATE"},             // 257
    {2, "GET.TOOLBAR"},          // 258
    {1, "GET.TOOL"},             // 259 (variable)
    {1, "SPELLING.CHECK"},       // 260 (variable)
    {1, "ERROR.TYPE"},           // 261
    {1, "APP.TITLE"},            // 262
    {1, "WINDOW.TITLE"},         // 263
    {0, "SAVE.TOOLBAR"},         // 264 (variable)
    {3, "ENABLE.TOOL"},          // 265
    {3, "PRESS.TOOL"},           // 266
    {3, "REGISTER.ID"},          // 267
    {1, "GET.WORKBOOK"},         // 268 (variable)
    {1, "AVEDEV"},               // 269 (variable)
    {3, "BETADIST"},             // 270 (variable)
    {1, "GAMMALN"},              // 271
    {3, "BETAINV"},              // 272 (variable)
    {4, "BINOMDIST"},            // 273
    {2, "CHIDIST"},              // 274
    {2, "CHIINV"},               // 275
    {2, "COMBIN"},               // 276
    {3, "CONFIDENCE"},           // 277
    {3, "CRITBINOM"},            // 278
    {1, "EVEN"},                 // 279
    {3, "EXPONDIST"},            // 280
    {3, "FDIST"},                // 281
    {3, "FINV"},                 // 282
    {1, "FISHER"},               // 283
    {1, "FISHERINV"},            // 284
    {2, "FLOOR"},                // 285
    {4, "GAMMADIST"},            // 286
    {3, "GAMMAINV"},             // 287
    {2, "CEILING"},              // 288
    {4, "HYPGEOMDIST"},          // 289
    {3, "LOGNORMDIST"},          // 290
    {3, "LOGINV"},               // 291
    {3, "NEGBINOMDIST"},         // 292
    {4, "NORMDIST"},             // 293
    {1, "NORMSDIST"},            // 294
    {3, "NORMINV"},              // 295
    {1, "NORMSINV"},             // 296
    {3, "STANDARDIZE"},          // 297
    {1, "ODD"},                  // 298
    {2, "PERMUT"},               // 299
    {3, "POISSON"},              // 300
    {3, "TDIST"},                // 301
    {4, "WEIBULL"},              // 302
    {2, "SUMXMY2"},              // 303
    {2, "SUMX2MY2"},             // 304
    {2, "SUMX2PY2"},             // 305
    {2, "CHITEST"},              // 306
    {2, "CORREL"},               // 307
    {2, "COVAR"},                // 308
    {3, "FORECAST"},             // 309
    {2, "FTEST"},                // 310
    {2, "INTERCEPT"},            // 311
    {2, "PEARSON"},              // 312
    {2, "RSQ"},                  // 313
    {2, "STEYX"},                // 314
    {2, "SLOPE"},                // 315
    {4, "TTEST"},                // 316
    {3, "PROB"},                 // 317 (variable)
    {1, "DEVSQ"},                // 318 (variable)
    {1, "GEOMEAN"},              // 319 (variable)
    {1, "HARMEAN"},              // 320 (variable)
    {0, "SUMSQ"},                // 321 (variable)
    {1, "KURT"},                 // 322 (variable)
    {1, "SKEW"},                 // 323 (variable)
    {2, "ZTEST"},                // 324 (variable)
    {2, "LARGE"},                // 325
    {2, "SMALL"},                // 326
    {2, "QUARTILE"},             // 327
    {2, "PERCENTILE"},           // 328
    {2, "PERCENTRANK"},          // 329 (variable)
    {1, "MODE"},                 // 330 (variable)
    {2, "TRIMMEAN"},             // 331
    {2, "TINV"},                 // 332
    {0, "333"},                  // 333 (variable)
    {0, "MOVIE.COMMAND"},        // 334 (variable)
    {0, "GET.MOVIE"},            // 335 (variable)
    {0, "CONCATENATE"},          // 336 (variable)
    {2, "POWER"},                // 337
    {0, "PIVOT.ADD.DATA"},       // 338 (variable)
    {0, "GET.PIVOT.TABLE"},      // 339 (variable)
    {0, "GET.PIVOT.FIELD"},      // 340 (variable)
    {0, "GET.PIVOT.ITEM"},       // 341 (variable)
    {1, "RADIANS"},              // 342
    {1, "DEGREES"},              // 343
    {2, "SUBTOTAL"},             // 344 (variable)
    {2, "SUMIF"},                // 345 (variable)
    {2, "COUNTIF"},              // 346
    {1, "COUNTBLANK"},           // 347
    {0, "SCENARIO.GET"},         // 348 (variable)
    {0, "OPTIONS.LISTS.GET"},    // 349 (variable)
    {4, "ISPMT"},                // 350
    {3, "DATEDIF"},              // 351
    {1, "DATESTRING"},           // 352
    {2, "NUMBERSTRING"},         // 353
    {1, "ROMAN"},                // 354 (variable)
    {0, "OPEN.DIALOG"},          // 355 (variable)
    {0, "SAVE.DIALOG"},          // 356 (variable)
    {0, "VIEW.GET"},             // 357 (variable)
    {2, "GETPIVOTDATA"},         // 358 (variable)
    {1, "HYPERLINK"},            // 359 (variable)
    {1, "PHONETIC"},             // 360
    {1, "AVERAGEA"},             // 361 (variable)
    {1, "MAXA"},                 // 362 (variable)
    {1, "MINA"},                 // 363 (variable)
    {1, "STDEVPA"},              // 364 (variable)
    {1, "VARPA"},                // 365 (variable)
    {1, "STDEVA"},               // 366 (variable)
    {1, "VARA"},                 // 367 (variable)
}};

}  // namespace plu
