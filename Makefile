# Raccourcis des commandes du README.
.PHONY: run test bench endurance
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
