/* What the compiler's start files would otherwise provide: the link has no
   crti/crtbegin, so the C library's _init/_fini calls land on these empty
   hooks (constructors run through .init_array), and __dso_handle identifies
   the program to __cxa_atexit for the destructors of C++ globals. */
void _init(void) {}
void _fini(void) {}

void *__dso_handle = &__dso_handle;
