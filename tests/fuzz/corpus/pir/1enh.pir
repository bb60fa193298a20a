>P1;1enh
structure:1enh.pdb: 1 : : 54 : :engrailed homeodomain, the model:  :  :
RPRTAFSSEQLARLKREFNENRYLTERRRQQLSSELGLNE
AQIKIWFQNKRAKI-*

>P1;template
sequence:template: : : : :synthetic template for the example, not a real protein: : :
-KRSAYTKEQLEELEKEFHFNKYLSRPRRVELAAKLNLTE
RQVKIWFQNRRMKHK*
