/* Start-up code shared by the Cortex-M sample boards: the vector table and
   the reset handler that prepares the C run-time environment and runs main.
   The installation holds it assembled for every Cortex-M library variant
   (lib/cortex_m_startup<variant>.o), each preprocessed with the variant's
   flags, so the FPU set-up is present exactly when the code uses the FPU.
   Symbols come from the generated linker script: __stack_end__ (initial
   stack pointer) and the tables of sections to copy and to clear. */

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
  .word NMI_Handler
  .word HardFault_Handler
  .word MemManage_Handler
  .word BusFault_Handler
  .word UsageFault_Handler
  .word SecureFault_Handler
  .word 0
  .word 0
  .word 0
  .word SVC_Handler
  .word DebugMon_Handler
  .word 0
  .word PendSV_Handler
  .word SysTick_Handler
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

  /* Every section that runs elsewhere than it is loaded is copied, and every
     zero-initialised one cleared, from the linker script's tables: copy
     entries are (load address, run start, run end), zero entries (start,
     end). Byte moves, because a section's size need not be a multiple of
     four. */
  ldr r4, =__copy_table_start__
  ldr r5, =__copy_table_end__
1:
  cmp r4, r5
  bhs 4f
  ldmia r4!, {r0, r1, r2}
2:
  cmp r1, r2
  bhs 1b
  ldrb r3, [r0]
  strb r3, [r1]
  adds r0, r0, #1
  adds r1, r1, #1
  b 2b
4:
  ldr r4, =__zero_table_start__
  ldr r5, =__zero_table_end__
  movs r3, #0
5:
  cmp r4, r5
  bhs 7f
  ldmia r4!, {r1, r2}
6:
  cmp r1, r2
  bhs 5b
  strb r3, [r1]
  adds r1, r1, #1
  b 6b
7:

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

/* Unhandled exceptions and interrupts stop at a breakpoint, where a
   debugger shows which one it was (IPSR); without a debugger the core locks
   up there, which a simulator reports. */
  .section .init.default_handler, "ax"
  .type default_handler, %function
  .thumb_func
default_handler:
  bkpt #0
  b .
  .size default_handler, . - default_handler

/* The vector table names each exception's handler by its CMSIS name, so a
   program or an RTOS port defining that name gets the exception directly.
   The default for each CMSIS name passes the exception on to the handler
   of this kit's older name, which in turn defaults to default_handler;
   either name may be defined. The hand-over is a tail call that keeps lr
   (the exception return value) and every register but r0 (already saved
   in the exception frame). */
  .macro handler cmsis_name, name
  .section .init.\name, "ax"
  .weak \cmsis_name
  .type \cmsis_name, %function
  .thumb_func
\cmsis_name:
  ldr r0, =\name
  bx r0
  .size \cmsis_name, . - \cmsis_name
  .weak \name
  .thumb_set \name, default_handler
  .endm

  handler NMI_Handler, nmi_handler
  handler HardFault_Handler, hard_fault_handler
  handler MemManage_Handler, mem_manage_handler
  handler BusFault_Handler, bus_fault_handler
  handler UsageFault_Handler, usage_fault_handler
  handler SecureFault_Handler, secure_fault_handler
  handler SVC_Handler, svc_handler
  handler DebugMon_Handler, debug_mon_handler
  handler PendSV_Handler, pend_sv_handler
  handler SysTick_Handler, systick_handler

  .weak irq_handler
  .thumb_set irq_handler, default_handler
