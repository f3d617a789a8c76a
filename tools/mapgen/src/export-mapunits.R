# Exports the few Natural Earth 1:50m map units that the admin-0 countries
# layer folds into their sovereign state (overseas departments, Svalbard,
# Caribbean Netherlands, Tokelau, the Australian Indian Ocean territories).
# Output: one JSON document, rings as [lon, lat] pairs, six decimals.
args <- commandArgs(trailingOnly = TRUE)
out <- args[1]
suppressMessages(library(rnaturalearthdata))
units <- c(CCK = "CC", CXR = "CX", GLP = "GP", GUF = "GF", MTQ = "MQ",
           MYT = "YT", REU = "RE", NLY = "BQ", NSV = "SJ", NJM = "SJ",
           TKL = "TK")
mu <- map_units50
con <- file(out, open = "w")
cat("[\n", file = con)
first <- TRUE
for (i in seq_len(nrow(mu@data))) {
  gu <- as.character(mu@data$gu_a3[i])
  if (!(gu %in% names(units))) next
  polys <- mu@polygons[[i]]@Polygons
  rings <- vapply(polys, function(p) {
    xy <- p@coords
    paste0("[", paste(sprintf("[%.6f,%.6f]", xy[, 1], xy[, 2]), collapse = ","),
           "]")
  }, character(1))
  holes <- vapply(polys, function(p) p@hole, logical(1))
  if (!first) cat(",\n", file = con)
  first <- FALSE
  cat(sprintf("{\"gu\":\"%s\",\"iso\":\"%s\",\"sovereign\":\"%s\",\"holes\":[%s],\"rings\":[%s]}",
              gu, units[[gu]], as.character(mu@data$adm0_a3[i]),
              paste(ifelse(holes, "true", "false"), collapse = ","),
              paste(rings, collapse = ",")), file = con)
}
cat("\n]\n", file = con)
close(con)
