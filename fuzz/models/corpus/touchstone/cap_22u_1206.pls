! cap_22u_1206: C = 2.2e-05 F, ESR = 0.004 ohm, ESL = 9e-10 H
S 2
! pole residue
-1.136363636e+07 4.545454545e+04
