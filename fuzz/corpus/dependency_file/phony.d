obj/main.o: src/main.c include/board.h

include/board.h:
