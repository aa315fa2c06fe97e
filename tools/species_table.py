"""Species table of the shipped data set (used by tools/make-data.py).

One entry per species number 1..40.  Values are estimates from the silvics of
each tree (sizes, ages, tolerances), from its geographic range (degree-day
limits, in degree-F days above 40 F) and from published biomass equations;
see Data/README.md for the sources and the reasoning.

Fields:
  name, latin      common and scientific name (single words, "_" for blanks)
  grp              biomass equation group (see BIOMASS_GROUPS in make-data.py)
  shade            1 intolerant, 2 intermediate, 3 tolerant
  ntype            nitrogen: 1 needs rich soil ... 3 tolerates poor soil
  sap              maximum saplings per plot and year
  dmax, hmax, age  maximum diameter (cm), height (cm), age (years)
  mininc           diameter increment (cm/yr) at or below which a tree counts as
                   slow-growing
  ddmin, ddmax     degree-day limits of the range, F-days above 40 F
  mwt              shallowest water table tolerated (m)
  wilt             drought tolerance (larger = more tolerant)
  minlight         light needed by intermediate species to regenerate
  c                leaf constant: leaf kg = c * DBH^2 / 1000
  bmp              base name of the tree pictures, or None
"""

# Column order of each row:
# SN name latin grp shade ntype sap dmax hmax age mininc ddmin ddmax mwt wilt minlight c bmp
ROWS = [
 (1, "Sugar_maple", "Acer_saccharum", "hardmaple", 3, 1, 8, 110, 3700, 400, 0.030, 1900, 6000, 1.00, 0.60, 0.00, 2.80, "sugarMaple"),
 (2, "American_beech", "Fagus_grandifolia", "hardmaple", 3, 2, 6, 100, 3650, 350, 0.030, 2000, 6600, 0.80, 0.60, 0.00, 3.20, "americanBeech"),
 (3, "Yellow_birch", "Betula_alleghaniensis", "softmaple", 2, 2, 12, 100, 3000, 350, 0.050, 1700, 5000, 0.50, 0.55, 0.35, 2.20, "yellowBirch"),
 (4, "Quaking_aspen", "Populus_tremuloides", "aspen", 1, 2, 6, 60, 2700, 120, 0.080, 1000, 5000, 0.50, 0.70, 0.00, 2.40, "quakingAspen"),
 (5, "Red_maple", "Acer_rubrum", "softmaple", 2, 3, 8, 90, 3000, 200, 0.050, 1900, 11000, 0.20, 0.65, 0.25, 3.60, None),
 (6, "Mountain_maple", "Acer_spicatum", "softmaple", 3, 2, 3, 20, 900, 60, 0.030, 1500, 4600, 0.50, 0.55, 0.00, 3.60, None),
 (7, "Pin_cherry", "Prunus_pensylvanica", "mixedhw", 1, 2, 40, 35, 1500, 40, 0.080, 1100, 5000, 0.50, 0.65, 0.00, 2.40, None),
 (8, "Choke_cherry", "Prunus_virginiana", "mixedhw", 2, 2, 6, 20, 900, 60, 0.050, 1300, 6500, 0.50, 0.65, 0.40, 2.70, None),
 (9, "Balsam_fir", "Abies_balsamea", "firhemlock", 3, 3, 5, 60, 2200, 200, 0.030, 800, 3500, 0.30, 0.55, 0.00, 4.80, "balsamFir"),
 (10, "Red_spruce", "Picea_rubens", "spruce", 3, 3, 4, 70, 3000, 400, 0.030, 1500, 3500, 0.30, 0.57, 0.00, 4.20, "redSpruce"),
 (11, "Paper_birch", "Betula_papyrifera", "softmaple", 1, 2, 6, 70, 2700, 140, 0.080, 900, 4500, 0.30, 0.60, 0.00, 2.70, "paperBirch"),
 (12, "American_mountain-ash", "Sorbus_americana", "mixedhw", 1, 2, 6, 30, 1200, 80, 0.080, 1400, 4200, 0.50, 0.60, 0.00, 2.70, None),
 (13, "Bigtooth_aspen", "Populus_grandidentata", "aspen", 1, 2, 5, 60, 2700, 100, 0.080, 2100, 5600, 0.60, 0.75, 0.00, 2.40, None),
 (14, "White_ash", "Fraxinus_americana", "mixedhw", 2, 1, 6, 100, 3300, 260, 0.050, 2300, 9500, 0.60, 0.60, 0.30, 3.60, None),
 (15, "American_basswood", "Tilia_americana", "mixedhw", 3, 1, 4, 100, 3300, 200, 0.030, 2400, 8000, 0.60, 0.60, 0.00, 4.20, None),
 (16, "Black_cherry", "Prunus_serotina", "mixedhw", 1, 2, 15, 90, 3000, 200, 0.080, 2500, 10000, 0.60, 0.65, 0.00, 3.00, None),
 (17, "Serviceberry", "Amelanchier_arborea", "mixedhw", 2, 2, 5, 30, 1200, 100, 0.050, 2000, 10000, 0.50, 0.70, 0.30, 2.70, None),
 (18, "Chestnut_oak", "Quercus_montana", "hardmaple", 2, 3, 5, 100, 2800, 400, 0.050, 3700, 8300, 1.00, 0.80, 0.35, 3.90, None),
 (19, "American_elm", "Ulmus_americana", "mixedhw", 2, 1, 6, 120, 3500, 300, 0.050, 2100, 11000, 0.20, 0.60, 0.30, 3.60, None),
 (20, "Northern_red_oak", "Quercus_rubra", "hardmaple", 2, 2, 5, 110, 3200, 400, 0.050, 2300, 8500, 0.80, 0.70, 0.35, 3.90, "redOak"),
 (21, "White_spruce", "Picea_glauca", "spruce", 2, 3, 6, 70, 3000, 300, 0.050, 600, 3800, 0.30, 0.60, 0.25, 4.20, None),
 (22, "Black_spruce", "Picea_mariana", "spruce", 2, 3, 8, 40, 2000, 250, 0.050, 500, 3600, 0.05, 0.60, 0.25, 3.75, None),
 (23, "Eastern_white_pine", "Pinus_strobus", "pine", 2, 3, 5, 120, 4500, 450, 0.050, 2300, 7000, 0.50, 0.70, 0.40, 2.70, "whitePine"),
 (24, "Red_pine", "Pinus_resinosa", "pine", 1, 3, 10, 90, 3500, 350, 0.080, 2300, 4800, 1.00, 0.80, 0.00, 3.00, None),
 (25, "Jack_pine", "Pinus_banksiana", "pine", 1, 3, 20, 50, 2200, 150, 0.080, 900, 4300, 0.80, 0.85, 0.00, 2.70, "jackPine"),
 (26, "Balsam_poplar", "Populus_balsamifera", "aspen", 1, 2, 20, 70, 2800, 150, 0.080, 700, 4200, 0.20, 0.55, 0.00, 2.70, None),
 (27, "Black_ash", "Fraxinus_nigra", "mixedhw", 2, 2, 6, 60, 2400, 250, 0.050, 2000, 5000, 0.10, 0.50, 0.35, 3.00, None),
 (28, "Bur_oak", "Quercus_macrocarpa", "hardmaple", 1, 3, 10, 120, 3000, 400, 0.080, 2300, 9500, 0.60, 0.80, 0.00, 3.60, None),
 (29, "Northern_white-cedar", "Thuja_occidentalis", "cedar", 3, 3, 2, 80, 1800, 400, 0.020, 1800, 4500, 0.10, 0.50, 0.00, 3.75, None),
 (30, "Eastern_hemlock", "Tsuga_canadensis", "firhemlock", 3, 3, 4, 120, 3500, 600, 0.020, 2300, 6600, 0.30, 0.55, 0.00, 4.50, None),
 (31, "Silver_maple", "Acer_saccharinum", "softmaple", 2, 1, 8, 110, 3200, 130, 0.050, 2900, 9500, 0.10, 0.50, 0.30, 3.60, None),
 (32, "Tamarack", "Larix_laricina", "cedar", 1, 3, 15, 60, 2500, 180, 0.080, 600, 3800, 0.05, 0.55, 0.00, 1.50, None),
 (33, "Pitch_pine", "Pinus_rigida", "pine", 1, 3, 10, 60, 2400, 200, 0.080, 3800, 7500, 0.50, 0.85, 0.00, 2.70, None),
 (34, "Sweet_birch", "Betula_lenta", "softmaple", 2, 2, 8, 80, 2500, 250, 0.050, 3500, 7200, 0.50, 0.60, 0.30, 3.30, None),
 (35, "Tulip_tree", "Liriodendron_tulipifera", "mixedhw", 1, 1, 10, 150, 4800, 300, 0.080, 4300, 10500, 0.60, 0.60, 0.00, 3.60, None),
 (36, "Eastern_hophornbeam", "Ostrya_virginiana", "hardmaple", 3, 2, 4, 30, 1500, 150, 0.020, 2300, 10500, 0.80, 0.70, 0.00, 3.60, None),
 (37, "Shagbark_hickory", "Carya_ovata", "hardmaple", 2, 2, 4, 80, 3000, 300, 0.050, 3300, 10000, 0.60, 0.75, 0.35, 3.60, None),
 (38, "White_oak", "Quercus_alba", "hardmaple", 2, 2, 5, 120, 3000, 450, 0.050, 3300, 10500, 1.00, 0.75, 0.35, 3.60, None),
 (39, "Northern_pin_oak", "Quercus_ellipsoidalis", "hardmaple", 1, 3, 10, 70, 2200, 200, 0.080, 2600, 5500, 1.00, 0.80, 0.00, 3.60, None),
 (40, "Virginia_pine", "Pinus_virginiana", "pine", 1, 3, 10, 50, 1800, 90, 0.080, 4600, 8700, 0.60, 0.80, 0.00, 2.40, None),
]
