# Raccourcis des deux commandes du README.
.PHONY: run test
run:
	bash outils/lance.sh
test:
	bash outils/teste.sh
