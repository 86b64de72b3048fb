/* Start-up code shared by the Cortex-M sample boards: the vector table and
   the reset handler that prepares the C run-time environment and runs main.
   The installation holds it assembled for every Cortex-M library variant
   (lib/cortex_m_startup<variant>.o), each preprocessed with the variant's
   flags, so the FPU set-up is present exactly when the code uses the FPU. Symbols come from
   the generated linker script: __stack_end__ (initial stack pointer), the
   .data load and run ranges and the .bss range. */

  .syntax unified
  .thumb

/* External interrupt vectors after the sixteen system ones. Every entry
   points to irq_handler unless the program defines that; a board needing
   more can assemble this file itself with -DIRQ_VECTOR_COUNT=n. */
#ifndef IRQ_VECTOR_COUNT
#define IRQ_VECTOR_COUNT 64
#endif

  .section .vectors, "a"
  .global _vectors
  .type _vectors, %object
  .align 2
_vectors:
  .word __stack_end__
  .word reset_handler
  .word nmi_handler
  .word hard_fault_handler
  .word mem_manage_handler
  .word bus_fault_handler
  .word usage_fault_handler
  .word secure_fault_handler
  .word 0
  .word 0
  .word 0
  .word svc_handler
  .word debug_mon_handler
  .word 0
  .word pend_sv_handler
  .word systick_handler
  .rept IRQ_VECTOR_COUNT
  .word irq_handler
  .endr
  .size _vectors, . - _vectors

  .section .init, "ax"
  .global reset_handler
  .type reset_handler, %function
  .thumb_func
reset_handler:
  /* A debugger may start here without going through the vector table. */
  ldr r0, =__stack_end__
  mov sp, r0

#if defined(__ARM_FP) && !defined(__SOFTFP__)
  /* Full access to coprocessors 10 and 11 (the FPU) through CPACR, before
     any floating-point instruction runs. */
  ldr r0, =0xE000ED88
  ldr r1, [r0]
  orr r1, r1, #(0xF << 20)
  str r1, [r0]
  dsb
  isb
#endif

  /* Copy initialised data from its load address to its run address. */
  ldr r0, =__data_load_start__
  ldr r1, =__data_start__
  ldr r2, =__data_end__
  cmp r0, r1
  beq 2f
1:
  cmp r1, r2
  bhs 2f
  ldrb r3, [r0]
  strb r3, [r1]
  adds r0, r0, #1
  adds r1, r1, #1
  b 1b
2:

  /* Zero the uninitialised data. */
  ldr r1, =__bss_start__
  ldr r2, =__bss_end__
  movs r3, #0
3:
  cmp r1, r2
  bhs 4f
  strb r3, [r1]
  adds r1, r1, #1
  b 3b
4:

  /* Constructors of C++ globals and other .init_array entries. */
  bl __libc_init_array

  movs r0, #0
  movs r1, #0
  bl main
  /* exit runs the atexit functions and destructors, then ends the program
     with main's status through the debug I/O library. */
  bl exit
  b .
  .size reset_handler, . - reset_handler

/* Unhandled exceptions and interrupts stop here, where a debugger shows
   which one it was (IPSR). */
  .section .init.default_handler, "ax"
  .type default_handler, %function
  .thumb_func
default_handler:
  b .
  .size default_handler, . - default_handler

  .macro weak_handler name
  .weak \name
  .thumb_set \name, default_handler
  .endm

  weak_handler nmi_handler
  weak_handler hard_fault_handler
  weak_handler mem_manage_handler
  weak_handler bus_fault_handler
  weak_handler usage_fault_handler
  weak_handler secure_fault_handler
  weak_handler svc_handler
  weak_handler debug_mon_handler
  weak_handler pend_sv_handler
  weak_handler systick_handler
  weak_handler irq_handler
