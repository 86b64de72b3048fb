#include "driver/help_text.h"

#include <string>
#include <string_view>

#include "base/product_identity.h"

namespace tidewater {

namespace {

struct HelpLine {
  const char* synopsis;
  const char* description;
};

// In the order shown to the user; not every line is a table key ("-g1",
// "-Ri,name"), and some keys ("-inputfiles", "-y", "-z") have no line.
constexpr HelpLine kHelpLines[] = {
    {"-allow-multiple-definition", "allow multiple symbol definition when linking"},
    {"-ansi", "enforce ANSI checking"},
    {"-ar", "create library from input files"},
    {"-arch=val", "set cpu architecture to 'val', use list to display supported"},
    {"-be", "big endian target"},
    {"-be8", "big endian target"},
    {"-builtins", "use builtin compiler functions"},
    {"-c", "compile the files, no link/library"},
    {"-clang", "use clang compiler/assembler"},
    {"-cmselib=l", "create cmse output library in 'l'"},
    {"-codec=c", "set file codec to 'c', use list to display supported"},
    {"-common", "allocate global variables in the common section"},
    {"-cpu=val", "set cpu core to 'val', use list to display supported"},
    {"-dname=val", "define the linker symbol 'name' as 'val'"},
    {"-debugio=bkpt", "use breakpoint implementation for debugio"},
    {"-debugio=dcc", "use dcc implementation for debugio"},
    {"-debugio=mempoll", "use memory polling implementation for debugio"},
    {"-depend file", "generate dependency file in 'file'"},
    {"-Dname", "define the preprocessor macro 'name'"},
    {"-Dname=val", "define the preprocessor macro 'name' as 'val'"},
    {"-emit-relocs", "emit relocations into executable"},
    {"-ename", "set program entry symbol to 'name'"},
    {"-exceptions", "enable C++ exceptions"},
    {"-E", "preprocess file and write to standard output"},
    {"-fill=b", "fill gaps in the additional output file with byte 'b'"},
    {"-fpabi=hard", "generate FPU instructions passing fp arguments in FPU registers"},
    {"-fpabi=softfp", "generate FPU instructions passing fp arguments in CPU registers"},
    {"-fpu=val", "set fpu to 'val', use list to display supported"},
    {"-framepointer", "generate code to maintain a frame pointer register"},
    {"-Fbin", "create an additional binary output file"},
    {"-Fhex", "create an additional hex output file"},
    {"-Fsrec", "create an additional srec output file"},
    {"-g", "generate source-level debugging information"},
    {"-g1", "generate only backtrace and line number debugging information"},
    {"-g2", "generate level 1 and variable display debugging information"},
    {"-g3", "generate level 2 and macro display debugging information"},
    {"-hasidiv", "v7ar architecture has integer divide instructions"},
    {"-hassmallmultiplier", "cortex-m0/m0+/m1 architecture has small multiplier"},
    {"-hascmse", "v8m architecture has cmse instructions"},
    {"-help", "show this text"},
    {"-instrument", "instrument functions"},
    {"-I-", "do not search any standard directories for include files"},
    {"-Idir", "add 'dir' to the end of the user include search list"},
    {"-Jdir", "add 'dir' to the end of the system include search list"},
    {"-kasm", "keep assembly code output"},
    {"-kldscript", "keep ldscript output"},
    {"-kpp", "keep preprocessor output"},
    {"-Kname", "keep symbol 'name' in the linked output"},
    {"-l-", "disable automatic linking of standard libraries"},
    {"-longcalls", "generate long calling sequences"},
    {"-Ldir", "set standard library file directory to 'dir'"},
    {"-memorymap file", "supply memory map file in 'file'"},
    {"-memorymapmacros macros", "define macros for memory map file in 'macros'"},
    {"-M", "display linkage map"},
    {"-n", "show command lines but don't execute them"},
    {"-nowarn-mismatch", "no linker warning on mismatched architecture input files"},
    {"-nowarn-enumsize", "no linker warning on mismatched enum sized input files"},
    {"-nowarn-wcharsize", "no linker warning on mismatched wchar sized input files"},
    {"-nostderr", "redirect output from stderr to stdout"},
    {"-O1", "set optimization level to level 1"},
    {"-O2", "set optimization level to level 2"},
    {"-O3", "set optimization level to level 3"},
    {"-Os", "set optimization level to optimize for size"},
    {"-Og", "set optimization level to debug"},
    {"-o file", "leave output in 'file'"},
    {"-patch cmd", "run 'cmd' after link but before the creation of the additional output file"},
    {"-placement file", "supply placement file in 'file'"},
    {"-placementmacros macros", "define macros for placement file in 'macros'"},
    {"-placementsegments segments", "memory segments for placement in 'segments'"},
    {"-printf=i[p][w]", "integer, optional width and precision, optional wchar"},
    {"-printf=ll[p][w]", "long long integer, optional width and precision, optional wchar"},
    {"-printf=f[ll][w]", "float, optional long long, optional wchar"},
    {"-printf=d[ll][w]", "double, optional long long, optional wchar"},
    {"-rtti", "enable C++ rtti"},
    {"-Rc,name", "name the default code section to 'name'"},
    {"-Rd,name", "name the default data section to 'name'"},
    {"-Ri,name", "name the default isr section to 'name'"},
    {"-Rk,name", "name the default const section to 'name'"},
    {"-Rv,name", "name the default vector section to 'name'"},
    {"-Rz,name", "name the default bss section to 'name'"},
    {"-scanf=i[c]", "integer, optional %[...] and %[^...] character class"},
    {"-scanf=ll[c]", "long long integer, optional %[...] and %[^...] character class"},
    {"-scanf=d[ll][c]", "double, optional long long, optional %[...] and %[^...] character class"},
    {"-shortenums", "enumerations are minimal container sized, default is int sized"},
    {"-shortwchar", "wide characters are 16-bit, default is 32-bit"},
    {"-std=s", "set language standard to 's', use list to display supported"},
    {"-stripsymbols", "strip symbols from linked executable"},
    {"-stripdebug", "strip debug information from linked executable"},
    {"-symbols=s", "link symbols file 's' into executable"},
    {"-thumb", "generate thumb code, default is to generate ARM code for processors that support it"},
    {"-Tfile", "use 'file' as linker script"},
    {"-Uname", "undefine the preprocessor macro 'name'"},
    {"-v", "show command lines as they are executed"},
    {"-w", "suppress warnings"},
    {"-we", "treat warnings as errors"},
    {"-Wa,x", "pass 'x' to the assembler"},
    {"-Wc,x", "pass 'x' to the C compiler"},
    {"-Wl,x", "pass 'x' to the linker"},
    {"-xa", "subsequent files are considered to be archives/libraries"},
    {"-xasm", "subsequent files are considered to be assembly code"},
    {"-xc", "subsequent files are considered to be C code"},
    {"-xc++", "subsequent files are considered to be C++ code"},
    {"-xo", "subsequent files are considered to be object files"},
};

constexpr size_t kSynopsisWidth = 27;

}  // namespace

void writeHelpText(std::ostream& stream) {
  writeBanner(ProductIdentity::kDriverToolName, stream);
  stream << "\nUsage: cc [option] file file ...\n\n";
  for (const auto& line : kHelpLines) {
    const std::string_view synopsis = line.synopsis;
    const size_t padding = synopsis.size() < kSynopsisWidth ? kSynopsisWidth - synopsis.size() : 1;
    stream << "  " << synopsis << std::string(padding, ' ') << line.description << '\n';
  }
  stream.flush();
}

}  // namespace tidewater
