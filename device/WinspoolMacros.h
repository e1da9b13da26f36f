// winspool.h maps EnumPrinters, OpenPrinter, GetPrinterData and StartDocPrinter to
// their ...A/...W forms by macro. In a file that includes windows.h, those macros
// would rename the Spooler methods of the same names, so this file undoes them.
// Deliberately without an include guard: include it again after any later windows.h.
// Windows code calls the spooler by the explicit W names (EnumPrintersW, ...).
#undef EnumPrinters
#undef OpenPrinter
#undef GetPrinterData
#undef StartDocPrinter
