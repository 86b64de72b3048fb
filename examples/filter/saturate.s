  .syntax unified
  .thumb
  .text
  .global saturate_q15
  .type saturate_q15, %function
@ Clamps r0 to the signed 16-bit range.
saturate_q15:
  ssat r0, #16, r0
  bx lr
