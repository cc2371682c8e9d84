# Raccourcis des commandes du README.
.PHONY: run test bench endurance orca
run:
	bash outils/lance.sh
test:
	bash outils/teste.sh
bench:
	bash bench/tout.sh
# Dix minutes du vrai programme sous Xvfb et PulseAudio (mémoire, annonces) ; hors de « make test ».
endurance:
	bash outils/construit.sh
	CV_BUILD="$(CURDIR)/build" CV_SOURCE="$(CURDIR)" bash tests/endurance/endurance.sh
# Ce qu'Orca dit de l'horloge, des alarmes et des paramètres (journal d'Orca) ; hors de « make test ».
orca:
	bash outils/construit.sh
	CV_BUILD="$(CURDIR)/build" CV_SOURCE="$(CURDIR)" bash tests/e2e/orca.sh
