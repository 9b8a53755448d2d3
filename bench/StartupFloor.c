/* The start-up floor, not part of Quelvar: the least a program can do that reads what quelvar-run
 * reads for a run and prints its report. It reads the descriptor's three lines, the data form's
 * values and the program text's lines with stdio, runs nothing, and prints "R<i> -> <v>", the
 * instruction index past the last line and the count of lines. Like quelvar-run, it first moves
 * into the descriptor's folder, where the descriptor's names are resolved. A C program linked to
 * nothing but the C library: what is left of quelvar-run's start-up above it is quelvar-run's own.
 *
 *   startup_floor DESCRIPTOR.rm
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static void ReadLine(FILE* file, char* line, int size) {
  if (fgets(line, size, file) == NULL) line[0] = '\0';
  line[strcspn(line, "\r\n")] = '\0';
}

int main(int argc, char** argv) {
  char module[4096], data[4096], program[4096], line[256];
  long values[64];
  int count = 0, lines = 0;
  FILE* file;
  if (argc != 2 || (file = fopen(argv[1], "rb")) == NULL) return 2;
  ReadLine(file, module, sizeof module);
  ReadLine(file, data, sizeof data);
  ReadLine(file, program, sizeof program);
  fclose(file);
  char* slash = strrchr(argv[1], '/');
  if (slash != NULL) {
    *slash = '\0';
    if (chdir(slash == argv[1] ? "/" : argv[1]) != 0) return 1;
  }
  if ((file = fopen(data, "rb")) == NULL) return 1;
  while (count < 64 && fgets(line, sizeof line, file) != NULL)
    values[count++] = strtol(line, 0, 10);
  fclose(file);
  if ((file = fopen(program, "rb")) == NULL) return 1;
  while (fgets(line, sizeof line, file) != NULL) ++lines;
  fclose(file);
  for (int i = 0; i < count; ++i) printf("R%d -> %ld\n", i + 1, values[i]);
  printf("Instruction Index is: %d\nLines executed: %d\n", lines + 1, lines);
  return 0;
}
